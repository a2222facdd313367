// KMRWorker: one operation thread per dialog, with the window's input blocked while it runs.
#include "KMRWorker.h"

#include <QApplication>
#include <QEvent>
#include <QEventLoop>
#include <QThread>
#include <QWidget>

KMRWorker::KMRWorker(QWidget* window_i) : QObject(window_i), m_pWindow(window_i) {}

KMRWorker::~KMRWorker()
{
    if (m_pThread != nullptr)
    {
        m_pThread->wait();
        delete m_pThread;
    }
}

bool KMRWorker::Run(std::function<void()> operation_i, std::function<void()> done_i)
{
    if (m_pThread != nullptr)
        return false;
    m_Done = std::move(done_i);
    m_pThread = QThread::create([operation = std::move(operation_i)] {
        try
        {
            operation();
        }
        catch (...)
        {
            // The logic reports its failures itself; nothing may escape the thread.
        }
    });
    qApp->installEventFilter(this);
    connect(m_pThread, &QThread::finished, this, [this] {
        qApp->removeEventFilter(this);
        m_pThread->deleteLater();
        m_pThread = nullptr;
        if (m_Done)
        {
            auto done = std::move(m_Done);
            m_Done = {};
            done();
        }
        emit finished();
    });
    m_pThread->start();
    return true;
}

void KMRWorker::Wait()
{
    if (m_pThread == nullptr)
        return;
    QEventLoop loop;
    connect(this, &KMRWorker::finished, &loop, &QEventLoop::quit);
    loop.exec();
}

bool KMRWorker::eventFilter(QObject* watched_i, QEvent* event_i)
{
    switch (event_i->type())
    {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    {
        auto* widget = qobject_cast<QWidget*>(watched_i);
        if (widget != nullptr && widget->window() == m_pWindow)
            return true;
        break;
    }
    default: break;
    }
    return QObject::eventFilter(watched_i, event_i);
}
