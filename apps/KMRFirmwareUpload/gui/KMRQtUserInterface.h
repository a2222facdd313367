// KMRQtUserInterface: message boxes, pickers, wait cursor and progress bar of the dialogs for the core's logic.
#pragma once

#include "IKMRUserInterface.h"

#include <QObject>
#include <QPointer>
#include <QProgressBar>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QWidget;

// The logic runs on a worker thread; every call that shows something is carried to the GUI
// thread. Questions and pickers wait there for the answer (blocking queued calls), the wait
// cursor and the progress bar are posted. Tests replace the boxes and pickers by hooks.
class KMRQtUserInterface : public QObject, public IKMRUserInterface, public IKMRProgressBar, public IKMRPaintPump
{
    Q_OBJECT
public:
    using MessageHook = std::function<EKMRAnswer(const QString& text_i, const QString& title_i, EKMRIcon icon_i,
                                                 EKMRButtons buttons_i)>;
    using OpenFilesHook = std::function<QStringList(const QString& filter_i, bool multiple_i)>;
    using PathHook = std::function<QString(const QString& titleOrFilter_i)>;

    explicit KMRQtUserInterface(QWidget* parent_i);

    void SetProgressWidget(QProgressBar* bar_i) { m_pBar = bar_i; }
    void SetAddressCallback(std::function<void(uint8_t)> callback_i) { m_AddressCallback = std::move(callback_i); }

    // Replacements of the real boxes and pickers (tests); they run on the GUI thread.
    static void SetMessageHook(MessageHook hook_i);
    static void SetOpenFilesHook(OpenFilesHook hook_i);
    static void SetSaveFileHook(PathHook hook_i);
    static void SetFolderHook(PathHook hook_i);

    // "text|pattern|text|pattern||" to Qt's "text (pattern);;text (pattern)".
    static QString ToQtFilter(const QString& filter_i);
    static QString FromKMR(const KMRString& text_i) { return QString::fromUtf8(text_i.GetString()); }
    static KMRString ToKMR(const QString& text_i) { return KMRString(text_i.toUtf8().constData()); }

    // Shows a box on the calling (GUI) thread, through the hook when one is set.
    static EKMRAnswer ShowMessage(QWidget* parent_i, const QString& text_i, const QString& title_i, EKMRIcon icon_i,
                                  EKMRButtons buttons_i);

    EKMRAnswer MessageBox(const KMRString& text_i, const KMRString& title_i, EKMRIcon icon_i,
                          EKMRButtons buttons_i) override;
    void SetWaitCursor(bool on_i) override;
    KMRString PickFolder(const KMRString& title_i) override;
    std::vector<KMRString> PickOpenFiles(const KMRString& filter_i, bool multiple_i) override;
    KMRString PickSaveFile(const KMRString& filter_i) override;
    void ShowKelmarCom2Address(uint8_t address_i) override;
    IKMRProgressBar* GetProgressBar() override { return this; }
    IKMRPaintPump* GetPaintPump() override { return this; }

    void SetRange(int lower_i, int upper_i) override;
    void SetStep(int step_i) override { m_iStep = step_i; }
    void StepIt() override;
    void SetPos(int position_i) override;
    // The GUI thread paints by itself while the worker runs.
    void PumpPaintMessages() override {}

private:
    // Runs the function on the GUI thread and waits for it.
    void _OnGuiThread(const std::function<void()>& function_i);
    void _PostToBar(int value_i, int lower_i, int upper_i, bool range_i);

    QWidget* m_pParent;
    QPointer<QProgressBar> m_pBar;
    std::function<void(uint8_t)> m_AddressCallback;
    std::atomic<int> m_iPos{0};
    std::atomic<int> m_iStep{1};
    int m_iCursorDepth = 0;
};
