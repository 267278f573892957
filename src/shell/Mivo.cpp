#include "Mivo.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLocale>
#include <QSessionManager>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

#include "AuditHookup.h"
#include "CurveSets.h"
#include "EditorAudit.h"
#include "EditorSession.h"
#include "EnumSerialPorts.h"
#include "FleetFile.h"
#include "LinkState.h"
#include "MessageBoxAnswerer.h"
#include "MivoDlg.h"
#include "ParameterSet.h"
#include "ProgramFile.h"
#include "PtyServer.h"
#include "Show_Dlg.h"
#include "SkinBitmaps.h"
#include "TextPair.h"
#include "VirtualProcessor.h"

namespace qx {

CMivoApp::CommandLine CMivoApp::Parse(const QStringList& arguments) {
    CommandLine c;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        auto value = [&](const QString& option) -> QString {
            if (a.startsWith(option + QLatin1Char('='))) {
                return a.mid(option.size() + 1);
            }
            if (i + 1 < arguments.size()) {
                return arguments[++i];
            }
            c.error = option + QStringLiteral(" needs a value");
            return {};
        };
        if (a == QLatin1String("--simulate")) {
            c.simulate = true;
        } else if (a == QLatin1String("--port") || a.startsWith(QLatin1String("--port="))) {
            const QString path = value(QStringLiteral("--port"));
            if (!path.isEmpty()) {
                c.ports << path;
            }
        } else if (a == QLatin1String("--fleet") || a.startsWith(QLatin1String("--fleet="))) {
            c.fleet = value(QStringLiteral("--fleet"));
        } else if (a == QLatin1String("--room") || a.startsWith(QLatin1String("--room="))) {
            c.room = value(QStringLiteral("--room"));
        } else if (a == QLatin1String("--lang") || a.startsWith(QLatin1String("--lang="))) {
            const QString lang = value(QStringLiteral("--lang"));
            if (lang == QLatin1String("zh")) {
                c.language = 1;
            } else if (lang == QLatin1String("en")) {
                c.language = 0;
            } else if (c.error.isEmpty()) {
                c.error = QStringLiteral("--lang takes zh or en, not '%1'").arg(lang);
            }
        } else if (a == QLatin1String("--screenshot") ||
                   a.startsWith(QLatin1String("--screenshot="))) {
            c.screenshot = value(QStringLiteral("--screenshot"));
        } else if (a == QLatin1String("--tab") || a.startsWith(QLatin1String("--tab="))) {
            bool ok = false;
            c.tab = value(QStringLiteral("--tab")).toInt(&ok);
            if (c.error.isEmpty() && (!ok || c.tab < 0 || c.tab > 9)) {
                c.error = QStringLiteral("--tab takes a tab number 0..9");
            }
        } else if (a == QLatin1String("--size") || a.startsWith(QLatin1String("--size="))) {
            const QStringList wh = value(QStringLiteral("--size")).split(QLatin1Char('x'));
            bool okW = false;
            bool okH = false;
            if (wh.size() == 2) {
                c.size = QSize(wh[0].toInt(&okW), wh[1].toInt(&okH));
            }
            if (c.error.isEmpty() && (!okW || !okH || c.size.width() < 1 || c.size.height() < 1)) {
                c.error = QStringLiteral("--size takes WIDTHxHEIGHT in pixels");
            }
        } else if (a == QLatin1String("--measure")) {
            c.measure = true;
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            c.help = true;
        } else if (a == QLatin1String("--version")) {
            c.version = true;
        } else {
            c.error = QStringLiteral("unknown option '%1'").arg(a);
        }
        if (!c.error.isEmpty()) {
            break;
        }
    }
    if (c.error.isEmpty()) {
        TakeFleetRoom(c);
    }
    return c;
}

void CMivoApp::TakeFleetRoom(CommandLine& c) {
    if (c.fleet.isEmpty() != c.room.isEmpty()) {
        c.error = QStringLiteral("--fleet FILE and --room NAME go together");
        return;
    }
    if (c.fleet.isEmpty()) {
        return;
    }
    std::vector<FleetRoom> rooms;
    std::string error;
    if (!CFleetFile::Load(c.fleet.toStdString(), rooms, error)) {
        c.error = QString::fromStdString(error);
        return;
    }
    const FleetRoom* room = CFleetFile::Find(rooms, c.room.toStdString());
    if (room == nullptr) {
        QStringList names;
        for (const FleetRoom& r : rooms) {
            names << QString::fromStdString(r.name);
        }
        c.error = QStringLiteral("%1 has no room '%2' (rooms: %3)")
                      .arg(c.fleet, c.room, names.join(QStringLiteral(", ")));
        return;
    }
    // The room's processor is probed first, ahead of any other port.
    c.ports.prepend(QString::fromStdString(room->port));
}

QString CMivoApp::Usage() {
    return QStringLiteral(
        "usage: qx-editor [options]\n"
        "  --simulate     start a virtual processor in-process and connect to it\n"
        "  --port PATH    probe this serial device first (repeatable); also\n"
        "                 socket://HOST:PORT or rfc2217://HOST:PORT (a serial device server)\n"
        "  --fleet FILE --room NAME  edit the processor of room NAME of a fleet file\n"
        "  --lang zh|en   interface language (default: from the system locale)\n"
        "  --tab N        show tab N (0 Music .. 9 System) once started\n"
        "  --size WxH     the window's size in pixels once shown\n"
        "  --screenshot FILE  write the window to FILE (PNG) once the connection settled,\n"
        "                 then quit\n"
        "  --measure      print when the window first painted and the resident memory once\n"
        "                 the connection settled, then quit\n"
        "  --help         show this text\n"
        "  --version      show the version\n");
}

QString CMivoApp::VersionLine() {
    return QStringLiteral("qx-editor " QX_VERSION);
}

CMivoApp::CMivoApp() = default;

CMivoApp::~CMivoApp() {
    ExitInstance();
}

bool CMivoApp::InitInstance(const CommandLine& commandLine, QString& error) {
    m_commandLine = commandLine;
    InstallCurveSets();
    ResetParameters();
    CProgramFile::CreateFileFolders(QDir::currentPath().toStdString());
    useChinese = commandLine.language >= 0
                     ? commandLine.language == 1
                     : IsChinesePrcLocale(QLocale::system().name().toStdString());
    QStringList ports = commandLine.ports;
    if (commandLine.simulate) {
        // The processor starts from the editor's defaults, as a fresh unit would.
        m_processor = std::make_unique<CVirtualProcessor>(ParameterSet);
        m_server = std::make_unique<CPtyServer>(*m_processor);
        std::string why;
        if (!m_server->Start(&why)) {
            error = QStringLiteral("cannot start the virtual processor: ") +
                    QString::fromStdString(why);
            return false;
        }
        ports.prepend(QString::fromStdString(m_server->Path()));
    }
    SetExtraPortPaths(ports);
    return true;
}

namespace {

// Reports the moment of the window's first paint (wall clock, for a script that knows when
// the process started) once that paint is done.
class CFirstPaint : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                std::printf("first-paint-epoch-ns %lld\n",
                            static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
                std::fflush(stdout);
            });
        }
        return false;
    }

  private:
    bool m_seen = false;
};

long ResidentKilobytes() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLong();
        }
    }
    return -1;
}

}  // namespace

int CMivoApp::Run() {
    CMivoDlg window;
    if (!m_commandLine.room.isEmpty()) {
        // What is sent is logged under the fleet's name for the room.
        HookUpAudit(window).SetRoom(m_commandLine.room.toStdString());
    }
    if (m_commandLine.measure) {
        auto* paint = new CFirstPaint(&window);
        window.installEventFilter(paint);
        window.Client()->installEventFilter(paint);
    }
    // The bitmaps the first paint did not need are drawn right after it, before any page
    // that needs them is chosen.
    QObject::connect(&window, &CMivoDlg::FirstPainted, [] { CSkinBitmaps::DrawAll(); });
    InstallMessageBoxAnswerer(&window);
    // Logging out may end the program without closing the window: keep unsaved work first.
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, &window,
                     [&window](QSessionManager&) { window.Session().KeepWorkOnClose(); });
    window.show();
    if (m_commandLine.size.isValid()) {
        window.resize(m_commandLine.size);
    }
    if (m_commandLine.tab >= 0) {
        window.SelectTab(m_commandLine.tab);
    }
    int code = 0;
    if (!m_commandLine.screenshot.isEmpty() || m_commandLine.measure) {
        // Waits until the connection attempt is over (no form of the progress dialog shown
        // for half a second, or 20 s at most), then writes the window or the resident memory
        // and quits.
        auto* poll = new QTimer(&window);
        auto started = std::make_shared<QElapsedTimer>();
        auto quiet = std::make_shared<QElapsedTimer>();
        started->start();
        quiet->start();
        QObject::connect(poll, &QTimer::timeout, &window, [&, poll, started, quiet] {
            if (window.Progress()->CurrentForm() != CShow_Dlg::kHidden) {
                quiet->restart();
            }
            if (quiet->elapsed() < 500 && started->elapsed() < 20000) {
                return;
            }
            poll->stop();
            if (m_commandLine.tab >= 0) {
                window.SelectTab(m_commandLine.tab);
            }
            window.RefreshCurrentPage();
            if (m_commandLine.measure) {
                std::printf("online %d\nrss-kb %ld\n", online ? 1 : 0, ResidentKilobytes());
                std::fflush(stdout);
            }
            if (!m_commandLine.screenshot.isEmpty() &&
                !window.grab().save(m_commandLine.screenshot)) {
                std::fprintf(stderr, "qx-editor: cannot write %s\n",
                             qPrintable(m_commandLine.screenshot));
                code = 1;
            }
            QApplication::exit(code);
        });
        poll->start(50);
    }
    const int result = QApplication::exec();
    return code != 0 ? code : result;
}

void CMivoApp::ExitInstance() {
    if (m_server) {
        m_server->Stop();
    }
    m_server.reset();
    m_processor.reset();
}

QString CMivoApp::SimulatorPath() const {
    return m_server ? QString::fromStdString(m_server->Path()) : QString();
}

}  // namespace qx
