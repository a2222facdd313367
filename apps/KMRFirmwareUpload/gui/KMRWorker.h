// KMRWorker: runs one controller operation at a time off the GUI thread and blocks the window's input meanwhile.
#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QThread;
class QWidget;

// The dialog stays painted and shows progress while the operation runs; mouse and key
// input to the window is swallowed so that nothing else can be started. Message boxes
// of the operation are windows of their own and take input as usual.
class KMRWorker : public QObject
{
    Q_OBJECT
public:
    explicit KMRWorker(QWidget* window_i);
    ~KMRWorker() override;

    bool IsBusy() const { return m_pThread != nullptr; }
    // Starts the operation unless one runs; done_i runs on the GUI thread afterwards.
    bool Run(std::function<void()> operation_i, std::function<void()> done_i = {});
    // Waits for the running operation (the GUI thread keeps handling events).
    void Wait();

signals:
    void finished();

protected:
    bool eventFilter(QObject* watched_i, QEvent* event_i) override;

private:
    QWidget* m_pWindow;
    QThread* m_pThread = nullptr;
    std::function<void()> m_Done;
};
