#include "support/TestEnvironment.h"

#include "platform/DesktopPrompter.h"
#include "platform/Prompter.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

template <typename Widget>
Widget *shownModal()
{
    return qobject_cast<Widget *>(QApplication::activeModalWidget());
}

QString writeFile(const QString &name, const QByteArray &data)
{
    const QString path = TestEnv::workFolder() + QLatin1Char('/') + name;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
    return path;
}

} // namespace

// The real save dialog, driven the way a user would: choosing a file that
// exists must bring up the question before anything is answered.
TEST(ApplicationTitle, MessageBoxesCarryItButWindowTitlesStayAsSet)
{
    const QString before = applicationTitle();
    setApplicationTitle(QStringLiteral("Sonvale 3.1"));
    EXPECT_EQ(applicationTitle(), QStringLiteral("Sonvale 3.1"));
    // An application display name is appended by the desktop to every
    // window title, so the title must never become one.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
    setApplicationTitle(before);
}

TEST(DesktopPrompter, SaveDialogAsksBeforeReplacingAFile)
{
    const QString existing = writeFile(QStringLiteral("take1.wav"), "keep me");
    FileDialogRequest request;
    request.title = QStringLiteral("Save as WAV file");
    request.filter = QStringLiteral("Audio Wav File (*.wav)|*.wav");
    request.initialFolder = TestEnv::workFolder();
    request.defaultExtension = QStringLiteral("wav");

    bool dialogSeen = false;
    QString question;
    QTimer::singleShot(0, [&] {
        auto *dialog = shownModal<QFileDialog>();
        ASSERT_NE(dialog, nullptr);
        dialogSeen = true;
        EXPECT_EQ(dialog->acceptMode(), QFileDialog::AcceptSave);
        EXPECT_FALSE(dialog->testOption(QFileDialog::DontConfirmOverwrite));
        dialog->selectFile(existing);
        // The question is modal itself: answer it No, then leave the dialog.
        QTimer::singleShot(0, [&, dialog] {
            if (auto *box = shownModal<QMessageBox>()) {
                question = box->text();
                QAbstractButton *no = box->button(QMessageBox::No);
                EXPECT_NE(no, nullptr);
                if (no)
                    no->click();
                else
                    box->reject();
            }
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
    });

    DesktopPrompter prompter;
    EXPECT_EQ(prompter.saveFile(request), QString()) << "refusing to replace must not give the name back";
    EXPECT_TRUE(dialogSeen);
    EXPECT_TRUE(question.contains(QStringLiteral("take1.wav"))) << qPrintable(question);
    QFile kept(existing);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("keep me"));
}
