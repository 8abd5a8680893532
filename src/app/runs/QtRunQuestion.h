#pragma once
// A question of a run's thread answered on the window's thread: the run hands the question
// over and waits; the window answers it in its own event loop, never waiting for the run. The
// hand-over is made with the standard library's mutex and condition, so that a thread checker
// sees it as well as Qt does. At the end of the program the window may abandon a question
// nobody will answer: the run then gets the fallback answer.

#include <QMetaObject>
#include <QObject>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

namespace duvanto {

template <typename Question, typename Answer>
class RunQuestion {
public:
    using Answerer = std::function<Answer(Question)>;

    // On the run's thread: `answer` runs on `window`'s thread with the question.
    Answer Ask(QObject* window, Question question, Answerer answer, Answer fallback) {
        {
            const std::lock_guard lock(m_mutex);
            m_question = std::move(question);
            m_answer.reset();
            m_abandoned = false;
        }
        QMetaObject::invokeMethod(
            window,
            [this, answer = std::move(answer)] {
                std::optional<Question> taken;
                {
                    const std::lock_guard lock(m_mutex);
                    taken.swap(m_question);
                }
                if (!taken) {
                    return;  // abandoned before the window came to it
                }
                Answer given = answer(std::move(*taken));
                {
                    const std::lock_guard lock(m_mutex);
                    m_answer = std::move(given);
                }
                m_answered.notify_all();
            },
            Qt::QueuedConnection);
        std::unique_lock lock(m_mutex);
        m_answered.wait(lock, [this] { return m_answer.has_value() || m_abandoned; });
        Answer result = m_answer ? std::move(*m_answer) : std::move(fallback);
        m_answer.reset();
        m_question.reset();
        return result;
    }

    // On the window's thread: a waiting run gets its fallback answer now.
    void Abandon() {
        {
            const std::lock_guard lock(m_mutex);
            m_abandoned = true;
            m_question.reset();
        }
        m_answered.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_answered;
    std::optional<Question> m_question;
    std::optional<Answer> m_answer;
    bool m_abandoned = false;
};

}  // namespace duvanto
