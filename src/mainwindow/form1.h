#pragma once

#include "platform/program.h"
#include "platform/textfile.h"
#include "taskstore/tasklines.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QMessageBox;
class QPlainTextEdit;
class QPushButton;

// The program's one window: the entry fields for a new task, the list of today's tasks
// and the four buttons. It holds all of the program's state.
class Form1 : public QWidget {
    Q_OBJECT

public:
    // The window works on the task file in `programDir` and asks `clock` for today's date.
    explicit Form1(QString programDir = platform::programDirectory(),
                   platform::Clock clock = platform::today, QWidget *parent = nullptr);

    // Elements, created in tab order, which Qt takes as the order of the Tab key. Labels come
    // first so that they lie beneath the rest.
    QLabel *const Label1;
    QLabel *const Label2;
    QLineEdit *const Text1;
    QLineEdit *const Text2;
    QLineEdit *const Text3;
    QLineEdit *const Text4;
    QPushButton *const Command1;
    QPushButton *const Command2;
    QPlainTextEdit *const Text5;
    QPushButton *const Command3;
    QPushButton *const Command4;

    // Members shared by the task file's operations.
    QString taskfile;
    qint16 filenum = 0;
    taskstore::TaskLines tasklines;

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setLook();
    void placeElements();
    void nameForScreenReaders();
    // Puts the window, its frame included, in the middle of the screen.
    void centreOnScreen();

    // The caption, announced to screen readers as it changes.
    void setCaption(const QString &caption);
    // Moves the focus to the day field, where a screen reader hears `note` first: what a
    // button just did, with no list left to show for it. The note goes with the focus.
    void focusDayFieldSaying(const QString &note);
    // Shows a message over the window, then gives the window its focus back.
    void tell(QMessageBox &box);
    // Tells the user that the task file failed us; held back until the window is up.
    void reportFileProblem(const QString &message);

    // Load of the window and Today's Work.
    void Form_Load();
    void todaystask();
    void Command4_Click();
    // Save and the date-field advance.
    void Command1_Click();
    void Text1_Change();
    void Text2_Change();
    void Text3_Change();
    // Do not forget and Close.
    void Command3_Click();
    void Command2_Click();

    const QString m_programDir;
    const platform::Clock m_clock;
    platform::FileNumbers m_fileNumbers;
    QString m_problemToShow;
};
