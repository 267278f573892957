#pragma once
// One seam for every question the editor puts to a person (overwrite a program? keep the
// offline work?). The window installs an answerer that shows a message box; tests install one
// that answers from a script and records what was asked. With no answerer installed (scripted
// runs, qxctl, tests that do not care) a question takes its `unattended` answer at once, so
// nothing ever waits for a person who is not there.

#include <QString>
#include <functional>
#include <vector>

namespace qx {

class CAsk {
  public:
    // A button the person may press. Standard buttons take the toolkit's own (translated)
    // text; Custom ones show `text`.
    enum Kind { Custom, Yes, No, Ok, Cancel, Save, Discard };
    struct Choice {
        Kind kind = Custom;
        QString text;
    };
    struct Question {
        QString caption;
        QString text;
        std::vector<Choice> choices;
        int byDefault = 0;   // the choice Enter presses
        int escape = -1;     // the choice Escape or the close box gives (-1: byDefault)
        int unattended = 0;  // the choice taken when nobody is asked
    };
    // Returns the index of the chosen choice.
    using Answerer = std::function<int(const Question&)>;

    // Asks and returns the index of the choice (always a valid index of question.choices).
    static int Ask(const Question& question);
    // Yes / No, No by default. `unattended` is what a scripted run answers.
    static bool Confirm(const QString& caption, const QString& text, bool unattended = true);
    // Installs an answerer (empty: none) and returns the one it replaces.
    static Answerer SetAnswerer(Answerer answerer);

    // Tests: answers each question with the next scripted index (the last one repeats) and
    // records every question; the previous answerer comes back at the end of the scope.
    class Scripted {
      public:
        explicit Scripted(std::vector<int> answers);
        ~Scripted();
        Scripted(const Scripted&) = delete;
        Scripted& operator=(const Scripted&) = delete;
        const std::vector<Question>& Asked() const { return m_asked; }

      private:
        std::vector<int> m_answers;
        std::vector<Question> m_asked;
        Answerer m_previous;
    };
};

}  // namespace qx
