// KMRGuiTestSupport: a simulated controller, recorded message boxes and helpers for the dialog tests.
#pragma once

#include "KMRQtUserInterface.h"

#include <KMRSim/KMRSimServer.h>

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <vector>

// Records every box the logic shows (title and text) and answers questions with m_eAnswer.
struct KMRRecordedMessages
{
    QStringList m_Texts;
    QStringList m_Titles;
    EKMRAnswer m_eAnswer = EKMRAnswer::Yes;

    void Install()
    {
        KMRQtUserInterface::SetMessageHook(
            [this](const QString& text_i, const QString& title_i, EKMRIcon, EKMRButtons buttons_i) {
                m_Texts << text_i;
                m_Titles << title_i;
                return buttons_i == EKMRButtons::Ok ? EKMRAnswer::Ok : m_eAnswer;
            });
    }
    QString Last() const { return m_Texts.isEmpty() ? QString() : m_Texts.last(); }
    void Clear()
    {
        m_Texts.clear();
        m_Titles.clear();
    }
};

inline std::vector<uint8_t> TestBytes(size_t size_i, uint8_t seed_i)
{
    std::vector<uint8_t> bytes(size_i);
    for (size_t i = 0; i < size_i; ++i)
        bytes[i] = static_cast<uint8_t>(i * 7 + seed_i);
    return bytes;
}
