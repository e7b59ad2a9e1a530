#include "form1.h"

#include "platform/twips.h"
#include "x11hints.h"

#include "dayvane.xpm" // the window icon, built in: it needs no image plugin to load

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <tuple>

namespace {

constexpr QColor Background(255, 255, 192);
constexpr QColor Magenta(255, 0, 255);
constexpr QColor Red(255, 0, 0);
constexpr QColor Blue(0, 0, 255);
constexpr QColor LightGreen(128, 255, 128);
constexpr QColor LightOrange(255, 192, 128);
constexpr QColor Yellow(255, 255, 0);

constexpr QLatin1StringView DayPurpose("Day of the month the task falls due, in two digits");

// A style sheet with a border of its own is the only way Qt draws a button face in exactly
// the colour asked for; a bare background colour is turned into a gradient.
QString buttonStyle(QColor face)
{
    return QStringLiteral("QPushButton { background-color: %1; color: black;"
                          " border: 2px outset #969696; }"
                          "QPushButton:pressed { border-style: inset; }"
                          "QPushButton:focus { border: 2px solid #000080; }")
        .arg(face.name());
}

QString fieldStyle(QLatin1StringView kind, QColor background)
{
    return QStringLiteral("%1 { background-color: %2; color: %3; border: 1px solid #404040;"
                          " padding: 0px; }")
        .arg(kind, background.name(), Blue.name());
}

// Qt takes a plain widget for a pane inside a window; screen readers should meet this one
// as the window it is.
QAccessibleInterface *accessibleWindow(const QString &className, QObject *object)
{
    if (className == QLatin1StringView(Form1::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Window);
    return nullptr;
}

} // namespace

Form1::Form1(QString programDir, platform::Clock clock, QWidget *parent)
    : QWidget(parent), Label1(new QLabel(this)), Label2(new QLabel(this)),
      Text1(new QLineEdit(this)), Text2(new QLineEdit(this)), Text3(new QLineEdit(this)),
      Text4(new QLineEdit(this)), Command1(new QPushButton(this)), Command2(new QPushButton(this)),
      Text5(new QPlainTextEdit(this)), Command3(new QPushButton(this)),
      Command4(new QPushButton(this)), m_programDir(std::move(programDir)),
      m_clock(std::move(clock))
{
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    // Qt clears this for tool windows, but this one is the whole program.
    setAttribute(Qt::WA_QuitOnClose);
    // On macOS a tool window hides while its program is in the background.
    setAttribute(Qt::WA_MacAlwaysShowToolWindow);
    QAccessible::installFactory(accessibleWindow);

    setLook();
    placeElements();
    nameForScreenReaders();
    connect(Command1, &QPushButton::clicked, this, &Form1::Command1_Click);
    connect(Command2, &QPushButton::clicked, this, &Form1::Command2_Click);
    connect(Command3, &QPushButton::clicked, this, &Form1::Command3_Click);
    connect(Command4, &QPushButton::clicked, this, &Form1::Command4_Click);
    connect(Text1, &QLineEdit::textChanged, this, &Form1::Text1_Change);
    connect(Text2, &QLineEdit::textChanged, this, &Form1::Text2_Change);
    connect(Text3, &QLineEdit::textChanged, this, &Form1::Text3_Change);
    Text1->installEventFilter(this); // for the focus leaving it
    Form_Load();
    Text1->setFocus();

    winId(); // the native window, whose frame Windows knows from here on
    centreOnScreen();
    x11hints::skipTaskbar(this);
}

void Form1::centreOnScreen()
{
    // Centre what the user sees, the frame. Where Qt knows it only once the window is up,
    // the window manager is asked for it, and the window placed by its inside.
    const QMargins extents = x11hints::frameExtents(this);
    QRect frame = frameGeometry().marginsAdded(extents);
    frame.moveCenter(screen()->availableGeometry().center());
    move(frame.topLeft() + QPoint(extents.left(), extents.top()));
}

void Form1::setLook()
{
    setWindowIcon(QIcon(QPixmap(dayvane)));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Background);
    setPalette(pal);
    setAutoFillBackground(true);
    // The bitmap font of the original look is rarely installed; Liberation Sans comes with
    // the program's packages and keeps the captions inside their boxes at the same size.
    QFont bold;
    bold.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    bold.setStyleHint(QFont::SansSerif);
    bold.setPointSize(12);
    setFont(bold);
    bold.setBold(true); // for the captions and the list

    for (const auto &[label, caption, colour] : {std::tuple(Label1, "Date dd/mm/yyyy", Magenta),
                                                 std::tuple(Label2, "Message to Dayvane", Red)}) {
        label->setText(QString::fromUtf8(caption));
        label->setFont(bold);
        QPalette captionColour = label->palette();
        captionColour.setColor(QPalette::WindowText, colour);
        label->setPalette(captionColour);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    for (QLineEdit *date : {Text1, Text2, Text3})
        date->setStyleSheet(fieldStyle(QLatin1StringView("QLineEdit"), Magenta));
    Text1->setMaxLength(2);
    Text2->setMaxLength(2);
    Text3->setMaxLength(4);
    Text4->setStyleSheet(fieldStyle(QLatin1StringView("QLineEdit"), Red));

    Text5->setFont(bold);
    Text5->setStyleSheet(fieldStyle(QLatin1StringView("QPlainTextEdit"), Red));
    Text5->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Text5->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text5->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Text5->setTabChangesFocus(true);
    Text5->hide();

    for (const auto &[button, caption, face] :
         {std::tuple(Command1, "Save", LightGreen), std::tuple(Command2, "Close", LightOrange),
          std::tuple(Command3, "Do not forget", Yellow),
          std::tuple(Command4, "Today's Work", Yellow)}) {
        button->setText(QString::fromUtf8(caption));
        button->setStyleSheet(buttonStyle(face));
        // Enter presses the button that has the focus (Space always does); no button
        // answers Enter while the focus is elsewhere.
        button->setAutoDefault(true);
    }
}

void Form1::placeElements()
{
    using platform::twipsRect;
    setFixedSize(platform::twipsToPixels(5520), platform::twipsToPixels(5535));
    for (const auto &[element, place] : {
             std::pair<QWidget *, QRect>(Label1, twipsRect(0, 0, 2025, 300)),
             {Text1, twipsRect(600, 240, 375, 285)},
             {Text2, twipsRect(960, 240, 375, 285)},
             {Text3, twipsRect(1320, 240, 735, 285)},
             {Text4, twipsRect(0, 840, 5415, 615)},
             {Label2, twipsRect(0, 600, 5415, 255)},
             {Command1, twipsRect(240, 1440, 1095, 375)},
             {Command2, twipsRect(4080, 1440, 1215, 375)},
             {Text5, twipsRect(0, 1920, 5535, 3060)},
             {Command3, twipsRect(1920, 5040, 2055, 375)},
             {Command4, twipsRect(1920, 1440, 1695, 375)},
         })
        element->setGeometry(place);
    // A caption's letters begin at the top of its box: the layout gives it no more height
    // than they need, and the field below covers the rest. The font keeps room above the
    // letters for accents these captions don't have, so the box reaches up over that room.
    for (QLabel *label : {Label1, Label2}) {
        const QFontMetrics metrics(label->font());
        const int roomAbove = metrics.ascent() + metrics.tightBoundingRect(label->text()).top();
        label->setGeometry(label->geometry().adjusted(0, -roomAbove, 0, 0));
    }
}

void Form1::nameForScreenReaders()
{
    for (const auto &[element, name, description] : {
             std::tuple<QWidget *, const char *, const char *>(Text1, "Day", DayPurpose.data()),
             {Text2, "Month", "Month the task falls due, in two digits"},
             {Text3, "Year", "Year the task falls due, in four digits"},
             {Text4, "Message", "What to be reminded of"},
             {Command1, "Save", "Saves the task for the date entered"},
             {Command2, "Close", "Closes DAYVANE"},
             {Text5, "Today's tasks", ""}, // described by each scan
             {Command3, "Do not forget", "Puts the list of today's tasks away"},
             {Command4, "Today's Work", "Shows the tasks that fall due today"},
         }) {
        element->setAccessibleName(QString::fromUtf8(name));
        element->setAccessibleDescription(QString::fromUtf8(description));
    }
    Label1->setBuddy(Text1);
    Label2->setBuddy(Text4);
    // A line edit tells screen readers where its caret is the first time it places one. The
    // date fields did so when their lengths were set; the message field would do it on its
    // first visit, just before its focus, and Orca, having moved there on the caret, would
    // take the focus for nothing new and say nothing of the field.
    Text4->setCursorPosition(0);
}

void Form1::setCaption(const QString &caption)
{
    if (caption == windowTitle())
        return;
    setWindowTitle(caption);
    // Qt does not tell screen readers when a window's title changes.
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

void Form1::focusDayFieldSaying(const QString &note)
{
    // Qt 6.4 gives screen readers a new caption in a form Orca cannot speak, and has no way
    // to announce a change; what a screen reader does speak is the field the focus comes to.
    Text1->setAccessibleDescription(note + u' ' + DayPurpose);
    Text1->setFocus();
}

bool Form1::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Text1 && event->type() == QEvent::FocusOut)
        Text1->setAccessibleDescription(DayPurpose); // the note goes with the focus
    return QWidget::eventFilter(watched, event);
}

void Form1::tell(QMessageBox &box)
{
    QWidget *const hadFocus = focusWidget();
    box.exec();
    // Some window managers give the focus to none when the box goes, and a keyboard user
    // would be left with nowhere to type.
    activateWindow();
    if (hadFocus)
        hadFocus->setFocus();
}

void Form1::reportFileProblem(const QString &message)
{
    if (!isVisible()) {
        m_problemToShow = message;
        return;
    }
    QMessageBox box(QMessageBox::Warning, QCoreApplication::applicationName(), message,
                    QMessageBox::Ok, this);
    tell(box);
}

void Form1::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_problemToShow.isEmpty()) {
        // Let the window come up first, so the message has something to stand over.
        QTimer::singleShot(0, this,
                           [this] { reportFileProblem(std::exchange(m_problemToShow, {})); });
    }
}

void Form1::Command3_Click()
{
    setCaption(QStringLiteral("Task Dayvane"));
    Text5->hide();
    Command3->hide();
    setAccessibleDescription({});
    // Not on to Today's Work, where a second Space would bring the list straight back.
    focusDayFieldSaying(QStringLiteral("Task Dayvane: the list of today's tasks is put away."));
}

void Form1::Command2_Click()
{
    // Nothing is held open between events, so there is nothing to save or close first.
    hide();
    QCoreApplication::exit(0);
}
