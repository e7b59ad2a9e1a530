#pragma once

#include "taskfiles.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include <functional>

// What a modal message box showed, caught while `action` ran and then dismissed with OK;
// `whileShown` runs while the box is up.
struct MessageSeen {
    bool shown = false;
    QString text;
    QString title;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QList<QMessageBox::StandardButton> buttons;
    bool buttonIconsNull = true;
};

inline MessageSeen catchMessageBox(const std::function<void()> &action,
                                   const std::function<void()> &whileShown = {})
{
    MessageSeen seen;
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen.shown = true;
        seen.text = box->text();
        seen.title = box->windowTitle();
        seen.icon = box->icon();
        for (QAbstractButton *b : box->buttons()) {
            seen.buttons.append(box->standardButton(b));
            seen.buttonIconsNull = seen.buttonIconsNull && b->icon().isNull();
        }
        if (whileShown)
            whileShown();
        box->accept();
    });
    poll.start();
    action();
    return seen;
}

#include "mainwindow/form1.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

// Types a task into the entry fields (day, month, year, message) as the program would see it.
inline void enterTask(const Form1 &form, const QStringList &typed)
{
    form.Text1->setText(typed.value(0));
    form.Text2->setText(typed.value(1));
    form.Text3->setText(typed.value(2));
    form.Text4->setText(typed.value(3));
}

// The list field's text with CR LF between lines, as the scan builds it.
inline QString listTextOf(const Form1 &form)
{
    return form.Text5->toPlainText().replace(u'\n', platform::LineBreak);
}

inline QStringList fieldsOf(const Form1 &form)
{
    return {form.Text1->text(), form.Text2->text(), form.Text3->text(), form.Text4->text()};
}

// The real window on its own task file, on 5 March 2026.
struct TestWindow {
    static inline const QDate Today{2026, 3, 5};
    ProgramDir dir;
    std::unique_ptr<Form1> form;

    explicit TestWindow(const QByteArray &file = {}, bool show = true)
    {
        dir.write(file);
        form = std::make_unique<Form1>(dir.path(), [] { return Today; });
        if (show) {
            form->show();
            form->activateWindow();
            if (!QTest::qWaitForWindowActive(form.get()))
                qWarning("the test window did not become active");
        }
    }

    void enter(const QStringList &typed) const { enterTask(*form, typed); }
    MessageSeen click(QPushButton *button) const
    {
        return catchMessageBox([button] { QTest::mouseClick(button, Qt::LeftButton); });
    }
    MessageSeen save() const { return click(form->Command1); }
    QStringList fields() const { return fieldsOf(*form); }
};
