#include "ui/dialogs/updates_dialog.h"

#include "app/version.h"
#include "ui/common/busy_pointer.h"
#include "ui/common/twips.h"
#include "ui/dialogs/web_pages.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>

namespace tintwell {

namespace {

const QColor light_blue(0, 0, 255);
const QColor light_magenta(255, 0, 255);

void set_text_colour(QLabel* label, const QColor& colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

QFrame* panel(QWidget* parent, const char* name, const QColor& fill)
{
    auto* frame = new QFrame(parent);
    frame->setObjectName(name);
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window, fill);
    frame->setPalette(palette);
    return frame;
}

} // namespace

bool chkupdate()
{
    return false;
}

UpdatesDialog::UpdatesDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("updat");
    setWindowTitle("Updates");
    setFixedSize(px(5220), px(3360));

    m_panel = panel(this, "Shape4", QColor(224, 224, 224));
    m_panel->setGeometry(tw_rect(75, 450, 5025, 2085));

    m_version_label = new QLabel(this);
    m_version_label->setObjectName("Label2");
    m_version_label->setFont(QFont("MS Sans Serif", 10));
    m_version_label->setGeometry(tw_rect(708, 684, 3648, 300));

    QFont arial("Arial", 12);
    m_result_label = new QLabel(this);
    m_result_label->setObjectName("Label3");
    m_result_label->setFont(arial);
    m_result_label->setGeometry(tw_rect(165, 1425, 4680, 750));
    m_result_label->setAlignment(Qt::AlignCenter);

    m_check_link = new QLabel(this);
    m_check_link->setObjectName("Label1");
    arial.setUnderline(true);
    m_check_link->setFont(arial);
    m_check_link->setGeometry(tw_rect(168, 1416, 4680, 756));
    m_check_link->setAlignment(Qt::AlignCenter);
    m_check_link->setCursor(Qt::PointingHandCursor);
    m_check_link->setMouseTracking(true);
    m_check_link->installEventFilter(this);
    set_text_colour(m_check_link, light_blue);

    m_download_button = new QPushButton("Download Page", this);
    m_download_button->setObjectName("Command1");
    m_download_button->setGeometry(tw_rect(2115, 2715, 1695, 465));
    m_download_button->setEnabled(false);
    connect(m_download_button, &QPushButton::clicked, this, &UpdatesDialog::command1_Click);
    m_close_button = new QPushButton("Close", this);
    m_close_button->setObjectName("Command2");
    m_close_button->setGeometry(tw_rect(4050, 2685, 975, 465));
    connect(m_close_button, &QPushButton::clicked, this, &UpdatesDialog::Command2_Click);
    Form_Load();
}

void UpdatesDialog::Form_Load()
{
    BusyPointer busy;
    if (parentWidget()) {
        setWindowIcon(parentWidget()->windowIcon());
    }
    m_version_label->setText(QString("Current Version:") + program_version);
    m_check_link->setText("Click here to check for update");
}

void UpdatesDialog::Label1_MouseDown()
{
    BusyPointer busy;
    m_check_link->hide();
    if (chkupdate()) {
        m_result_label->setText("New version available ");
        m_download_button->setEnabled(true);
    } else {
        m_result_label->setText("No update available");
    }
}

void UpdatesDialog::command1_Click()
{
    open_page(QUrl(download_page));
    close();
}

void UpdatesDialog::Command2_Click()
{
    close();
}

bool UpdatesDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_check_link) {
        if (event->type() == QEvent::MouseButtonPress) {
            Label1_MouseDown();
            return true;
        }
        if (event->type() == QEvent::Enter) {
            set_text_colour(m_check_link, light_magenta);
        } else if (event->type() == QEvent::Leave) {
            set_text_colour(m_check_link, light_blue);
        }
    }
    return QDialog::eventFilter(watched, event);
}

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent)
{
    setObjectName("Info");
    setWindowTitle("Information");
    setFixedSize(360, 230);

    Shape1 = panel(this, "Shape1", palette().color(QPalette::Window));
    Shape1->setGeometry(8, 8, 344, 170);
    Shape2 = panel(this, "Shape2", palette().color(QPalette::Window));
    Shape2->setGeometry(16, 16, 80, 80);

    Picture1 = new QLabel(this);
    Picture1->setObjectName("Picture1");
    Picture1->setGeometry(24, 24, 64, 64);
    Picture1->setPixmap(program_icon(64));

    Label9 = new QLabel("Tintwell", this);
    Label9->setObjectName("Label9");
    Label9->setFont(QFont("Arial", 20, QFont::Bold));
    Label9->setGeometry(112, 20, 230, 40);

    Label10 = new QLabel(this);
    Label10->setObjectName("Label10");
    Label10->setFont(QFont("Arial", 10));
    Label10->setGeometry(112, 62, 80, 22);
    Label1 = new QLabel(this);
    Label1->setObjectName("Label1");
    Label1->setFont(QFont("Arial", 10));
    Label1->setGeometry(200, 62, 140, 22);

    Label2 = new QLabel(maker_site, this);
    Label2->setObjectName("Label2");
    QFont link("Arial", 10);
    link.setUnderline(true);
    Label2->setFont(link);
    Label2->setGeometry(24, 130, 320, 24);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);
    set_text_colour(Label2, light_blue);

    Command1 = new QPushButton("OK", this);
    Command1->setObjectName("Command1");
    Command1->setGeometry(272, 190, 80, 30);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
    if (parent) {
        setWindowIcon(parent->windowIcon());
    }
    Form_Activate();
}

void AboutDialog::Form_Activate()
{
    Label10->setText("Alpha ");
    Label1->setText(QString("Version ") + program_version);
    // One line, "Alpha Version" and the version, whatever the font's width.
    Label10->resize(Label10->sizeHint().width(), Label10->height());
    Label1->move(Label10->x() + Label10->width(), Label1->y());
    QPalette palette = Shape2->palette();
    palette.setColor(QPalette::Window, QColor(240, 240, 230));
    Shape2->setPalette(palette);
}

void AboutDialog::Label2_Click()
{
    open_page(QUrl(maker_site));
}

bool AboutDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label2 && event->type() == QEvent::MouseButtonPress) {
        Label2_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

QPixmap program_icon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const double s = size / 64.0;
    painter.setPen(QPen(QColor(60, 60, 60), 2 * s));
    painter.setBrush(QColor(250, 246, 232));
    painter.drawRoundedRect(QRectF(2 * s, 2 * s, 60 * s, 60 * s), 12 * s, 12 * s);
    const QColor drops[] = { QColor(0x9e, 0xc5, 0xf0), QColor(0xf2, 0xa6, 0x5a),
        QColor(0x4c, 0xa0, 0x50), QColor(0x8b, 0x5a, 0x2b) };
    const QPointF centres[] = { { 22, 22 }, { 42, 22 }, { 22, 42 }, { 42, 42 } };
    painter.setPen(QPen(QColor(60, 60, 60), 1.5 * s));
    for (int i = 0; i < 4; ++i) {
        painter.setBrush(drops[i]);
        painter.drawEllipse(centres[i] * s, 8 * s, 8 * s);
    }
    return pixmap;
}

} // namespace tintwell
