#include "Ask.h"

#include <algorithm>

namespace qx {

namespace {

CAsk::Answerer& Current() {
    static CAsk::Answerer answerer;
    return answerer;
}

int Valid(const CAsk::Question& q, int index) {
    const int n = static_cast<int>(q.choices.size());
    return n == 0 ? 0 : std::clamp(index, 0, n - 1);
}

}  // namespace

int CAsk::Ask(const Question& question) {
    // Copied: an answerer may replace itself while it asks.
    const Answerer answerer = Current();
    return Valid(question, answerer ? answerer(question) : question.unattended);
}

bool CAsk::Confirm(const QString& caption, const QString& text, bool unattended) {
    Question q;
    q.caption = caption;
    q.text = text;
    q.choices = {{Yes, {}}, {No, {}}};
    q.byDefault = 1;
    q.escape = 1;
    q.unattended = unattended ? 0 : 1;
    return Ask(q) == 0;
}

CAsk::Answerer CAsk::SetAnswerer(Answerer answerer) {
    Answerer previous = std::move(Current());
    Current() = std::move(answerer);
    return previous;
}

CAsk::Scripted::Scripted(std::vector<int> answers) : m_answers(std::move(answers)) {
    m_previous = SetAnswerer([this](const Question& q) {
        m_asked.push_back(q);
        if (m_answers.empty()) {
            return q.unattended;
        }
        const std::size_t k = std::min(m_asked.size(), m_answers.size()) - 1;
        return m_answers[k];
    });
}

CAsk::Scripted::~Scripted() {
    SetAnswerer(std::move(m_previous));
}

}  // namespace qx
