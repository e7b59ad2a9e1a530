// Loaded into the real program (LD_PRELOAD) by the start-up benchmark: once the window has
// handled its first paint, it writes "painted" to standard output and ends the process.
#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <unistd.h>

namespace {

class FirstPaint : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *target, QEvent *event) override
    {
        if (!m_seen && event->type() == QEvent::Paint && target->isWidgetType() &&
            static_cast<QWidget *>(target)->isWindow()) {
            m_seen = true;
            // Back in the event loop, the whole window (children too) has been painted.
            QTimer::singleShot(0, [] {
                const ssize_t written = ::write(STDOUT_FILENO, "painted\n", 8);
                ::_exit(written == 8 ? 0 : 1);
            });
        }
        return false;
    }

private:
    bool m_seen = false;
};

void installProbe()
{
    qApp->installEventFilter(new FirstPaint(qApp));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installProbe)
