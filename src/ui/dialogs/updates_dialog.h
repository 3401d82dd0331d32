#pragma once

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace tintwell {

/// True when a newer version than program_version is available. The program does not look on
/// the network, so this is always false.
bool chkupdate();

/// `updat`, "Updates": the current version and a link that runs the update check; "Download
/// Page" is enabled only when a newer version was reported.
class UpdatesDialog : public QDialog
{
    Q_OBJECT
public:
    explicit UpdatesDialog(QWidget* parent = nullptr);

    void Form_Load();
    void Label1_MouseDown();
    void command1_Click();
    void Command2_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Controls; their object names are the design's.
    QFrame* m_panel;
    QLabel* m_version_label;
    QLabel* m_check_link;
    QLabel* m_result_label;
    QPushButton* m_download_button;
    QPushButton* m_close_button;
};

/// `Info`, "Information": the program's name, version and the maker's web address as a link.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    void Form_Activate();
    void Label2_Click();

    QFrame* Shape1;
    QFrame* Shape2;
    QLabel* Picture1;
    QLabel* Label9;
    QLabel* Label10;
    QLabel* Label1;
    QLabel* Label2;
    QPushButton* Command1;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

/// The program's icon drawn at `size` pixels: a palette of four theme colours.
QPixmap program_icon(int size);

} // namespace tintwell
