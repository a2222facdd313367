// KMRQtUserInterface: carries the logic's boxes, pickers, cursor and progress to the GUI thread.
#include "KMRQtUserInterface.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QThread>
#include <QWidget>

namespace
{
KMRQtUserInterface::MessageHook g_MessageHook;
KMRQtUserInterface::OpenFilesHook g_OpenFilesHook;
KMRQtUserInterface::PathHook g_SaveFileHook;
KMRQtUserInterface::PathHook g_FolderHook;
} // namespace

KMRQtUserInterface::KMRQtUserInterface(QWidget* parent_i) : QObject(parent_i), m_pParent(parent_i) {}

void KMRQtUserInterface::SetMessageHook(MessageHook hook_i) { g_MessageHook = std::move(hook_i); }
void KMRQtUserInterface::SetOpenFilesHook(OpenFilesHook hook_i) { g_OpenFilesHook = std::move(hook_i); }
void KMRQtUserInterface::SetSaveFileHook(PathHook hook_i) { g_SaveFileHook = std::move(hook_i); }
void KMRQtUserInterface::SetFolderHook(PathHook hook_i) { g_FolderHook = std::move(hook_i); }

QString KMRQtUserInterface::ToQtFilter(const QString& filter_i)
{
    const QStringList parts = filter_i.split('|', Qt::SkipEmptyParts);
    QStringList entries;
    for (int i = 0; i + 1 < parts.size(); i += 2)
        entries << QStringLiteral("%1 (%2)").arg(parts[i].trimmed(), QString(parts[i + 1]).replace(';', ' '));
    return entries.join(QStringLiteral(";;"));
}

void KMRQtUserInterface::_OnGuiThread(const std::function<void()>& function_i)
{
    if (QThread::currentThread() == thread())
        function_i();
    else
        QMetaObject::invokeMethod(this, function_i, Qt::BlockingQueuedConnection);
}

EKMRAnswer KMRQtUserInterface::ShowMessage(QWidget* parent_i, const QString& text_i, const QString& title_i,
                                           EKMRIcon icon_i, EKMRButtons buttons_i)
{
    if (g_MessageHook)
        return g_MessageHook(text_i, title_i, icon_i, buttons_i);
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    switch (icon_i)
    {
    case EKMRIcon::Information: icon = QMessageBox::Information; break;
    case EKMRIcon::Warning: icon = QMessageBox::Warning; break;
    case EKMRIcon::Error: icon = QMessageBox::Critical; break;
    case EKMRIcon::Question: icon = QMessageBox::Question; break;
    case EKMRIcon::None: break;
    }
    const bool question = buttons_i != EKMRButtons::Ok;
    QMessageBox box(icon, title_i, text_i, question ? (QMessageBox::Yes | QMessageBox::No) : QMessageBox::Ok,
                    parent_i);
    if (buttons_i == EKMRButtons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    const int result = box.exec();
    if (!question)
        return EKMRAnswer::Ok;
    return result == QMessageBox::Yes ? EKMRAnswer::Yes : EKMRAnswer::No;
}

EKMRAnswer KMRQtUserInterface::MessageBox(const KMRString& text_i, const KMRString& title_i, EKMRIcon icon_i,
                                          EKMRButtons buttons_i)
{
    EKMRAnswer answer = EKMRAnswer::Ok;
    const QString text = FromKMR(text_i);
    const QString title = FromKMR(title_i);
    _OnGuiThread([&] {
        // A box must not sit under the wait cursor.
        const bool cursor = QApplication::overrideCursor() != nullptr;
        if (cursor)
            QApplication::setOverrideCursor(Qt::ArrowCursor);
        answer = ShowMessage(m_pParent, text, title, icon_i, buttons_i);
        if (cursor)
            QApplication::restoreOverrideCursor();
    });
    return answer;
}

void KMRQtUserInterface::SetWaitCursor(bool on_i)
{
    QMetaObject::invokeMethod(
        this,
        [this, on_i] {
            if (on_i)
            {
                ++m_iCursorDepth;
                QApplication::setOverrideCursor(Qt::WaitCursor);
            }
            else if (m_iCursorDepth > 0)
            {
                --m_iCursorDepth;
                QApplication::restoreOverrideCursor();
            }
        },
        Qt::AutoConnection);
}

KMRString KMRQtUserInterface::PickFolder(const KMRString& title_i)
{
    QString folder;
    _OnGuiThread([&] {
        folder = g_FolderHook ? g_FolderHook(FromKMR(title_i))
                              : QFileDialog::getExistingDirectory(m_pParent, FromKMR(title_i));
    });
    return ToKMR(folder);
}

std::vector<KMRString> KMRQtUserInterface::PickOpenFiles(const KMRString& filter_i, bool multiple_i)
{
    QStringList files;
    _OnGuiThread([&] {
        const QString filter = FromKMR(filter_i);
        if (g_OpenFilesHook)
            files = g_OpenFilesHook(filter, multiple_i);
        else if (multiple_i)
            files = QFileDialog::getOpenFileNames(m_pParent, QString(), QString(), ToQtFilter(filter));
        else
        {
            const QString file = QFileDialog::getOpenFileName(m_pParent, QString(), QString(), ToQtFilter(filter));
            if (!file.isEmpty())
                files << file;
        }
    });
    std::vector<KMRString> result;
    for (const QString& file : files)
        result.push_back(ToKMR(file));
    return result;
}

KMRString KMRQtUserInterface::PickSaveFile(const KMRString& filter_i)
{
    QString file;
    _OnGuiThread([&] {
        const QString filter = FromKMR(filter_i);
        file = g_SaveFileHook ? g_SaveFileHook(filter)
                              : QFileDialog::getSaveFileName(m_pParent, QString(), QString(), ToQtFilter(filter));
    });
    return ToKMR(file);
}

void KMRQtUserInterface::ShowKelmarCom2Address(uint8_t address_i)
{
    QMetaObject::invokeMethod(
        this,
        [this, address_i] {
            if (m_AddressCallback)
                m_AddressCallback(address_i);
        },
        Qt::AutoConnection);
}

void KMRQtUserInterface::_PostToBar(int value_i, int lower_i, int upper_i, bool range_i)
{
    QMetaObject::invokeMethod(
        this,
        [this, value_i, lower_i, upper_i, range_i] {
            if (m_pBar == nullptr)
                return;
            if (range_i)
                m_pBar->setRange(lower_i, upper_i);
            else
                m_pBar->setValue(value_i);
        },
        Qt::AutoConnection);
}

void KMRQtUserInterface::SetRange(int lower_i, int upper_i) { _PostToBar(0, lower_i, upper_i, true); }

void KMRQtUserInterface::StepIt()
{
    m_iPos += m_iStep;
    _PostToBar(m_iPos, 0, 0, false);
}

void KMRQtUserInterface::SetPos(int position_i)
{
    m_iPos = position_i;
    _PostToBar(position_i, 0, 0, false);
}
