#include "AuditRecord.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonParseError>
#include <array>
#include <utility>

namespace qx {

namespace {

constexpr std::array<std::pair<AuditCause, const char*>, 6> kCauses{{
    {AuditCause::Control, "control"},
    {AuditCause::Undo, "undo"},
    {AuditCause::File, "file"},
    {AuditCause::Fleet, "fleet"},
    {AuditCause::FilterImport, "filter import"},
    {AuditCause::Rule, "rule"},
}};

QString Q(const std::string& s) {
    return QString::fromStdString(s);
}

std::string S(const QJsonObject& o, const char* key) {
    return o.value(QLatin1String(key)).toString().toStdString();
}

void PutText(QJsonObject& o, const char* key, const std::string& value) {
    if (!value.empty()) {
        o.insert(QLatin1String(key), Q(value));
    }
}

}  // namespace

const char* AuditCauseName(AuditCause cause) {
    for (const auto& [c, name] : kCauses) {
        if (c == cause) {
            return name;
        }
    }
    return "control";
}

std::optional<AuditCause> AuditCauseFromName(const std::string& name) {
    for (const auto& [c, n] : kCauses) {
        if (name == n) {
            return c;
        }
    }
    return std::nullopt;
}

QJsonObject AuditRecord::ToJson() const {
    QJsonObject o;
    o.insert(QStringLiteral("time"),
             QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC).toString(Qt::ISODateWithMs));
    o.insert(QStringLiteral("user"), Q(user));
    o.insert(QStringLiteral("host"), Q(host));
    o.insert(QStringLiteral("tool"), Q(tool));
    o.insert(QStringLiteral("session"), Q(session));
    o.insert(QStringLiteral("port"), Q(port));
    o.insert(QStringLiteral("room"), Q(room));
    if (program >= 0) {
        o.insert(QStringLiteral("program"), program);
    } else {
        o.insert(QStringLiteral("program"), QJsonValue::Null);
    }
    o.insert(QStringLiteral("cause"), QLatin1String(AuditCauseName(cause)));
    o.insert(QStringLiteral("action"), Q(action));
    PutText(o, "field", field);
    PutText(o, "caption", caption);
    if (hasCodes) {
        o.insert(QStringLiteral("old"), static_cast<qint64>(oldCode));
        o.insert(QStringLiteral("new"), static_cast<qint64>(newCode));
    }
    if (!field.empty()) {
        o.insert(QStringLiteral("oldLabel"), Q(oldLabel));
        o.insert(QStringLiteral("newLabel"), Q(newLabel));
    }
    PutText(o, "detail", detail);
    if (!ok) {
        o.insert(QStringLiteral("ok"), false);
    }
    return o;
}

std::string AuditRecord::ToJsonLine() const {
    return QJsonDocument(ToJson()).toJson(QJsonDocument::Compact).toStdString();
}

bool AuditRecord::FromJsonLine(const std::string& line, AuditRecord& out) {
    QJsonParseError error{};
    const QJsonDocument doc = QJsonDocument::fromJson(QByteArray::fromStdString(line), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        return false;
    }
    const QJsonObject o = doc.object();
    const QDateTime time =
        QDateTime::fromString(o.value(QStringLiteral("time")).toString(), Qt::ISODateWithMs);
    AuditRecord r;
    r.action = S(o, "action");
    if (!time.isValid() || r.action.empty()) {
        return false;
    }
    r.timeMs = time.toMSecsSinceEpoch();
    r.cause = AuditCauseFromName(S(o, "cause")).value_or(AuditCause::Control);
    r.user = S(o, "user");
    r.host = S(o, "host");
    r.tool = S(o, "tool");
    r.session = S(o, "session");
    r.port = S(o, "port");
    r.room = S(o, "room");
    r.program = o.value(QStringLiteral("program")).toInt(-1);
    r.field = S(o, "field");
    r.caption = S(o, "caption");
    r.hasCodes = o.contains(QStringLiteral("old")) && o.contains(QStringLiteral("new"));
    r.oldCode = static_cast<uint32_t>(o.value(QStringLiteral("old")).toInteger());
    r.newCode = static_cast<uint32_t>(o.value(QStringLiteral("new")).toInteger());
    r.oldLabel = S(o, "oldLabel");
    r.newLabel = S(o, "newLabel");
    r.detail = S(o, "detail");
    r.ok = o.value(QStringLiteral("ok")).toBool(true);
    out = std::move(r);
    return true;
}

std::string AuditRecord::TimeText() const {
    return QDateTime::fromMSecsSinceEpoch(timeMs, Qt::UTC)
        .toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
        .toStdString();
}

std::string AuditRecord::ReadableText() const {
    std::string where = room.empty() ? port : room + " (" + port + ")";
    std::string text = TimeText() + "  " + where;
    if (program >= 0) {
        text += "  P" + std::to_string(program);
    }
    text += "  [" + std::string(AuditCauseName(cause)) + "]  ";
    if (action == "field") {
        text += (caption.empty() ? field : caption) + ": " + oldLabel + " -> " + newLabel;
    } else {
        text += action;
        if (!detail.empty()) {
            text += " " + detail;
        }
    }
    if (!ok) {
        text += "  FAILED";
    }
    if (!user.empty()) {
        text += "  (" + user + (tool.empty() ? "" : ", " + tool) + ")";
    }
    return text;
}

}  // namespace qx
