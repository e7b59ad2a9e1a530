// Form1's handlers for the task file: the scan at load and on Today's Work, the save and the
// date-field advance. They stay thin; the work is done by the plain functions beside them.
#include "mainwindow/form1.h"

#include "record.h"
#include "save.h"
#include "scan.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

void Form1::Form_Load()
{
    todaystask();
}

void Form1::Command4_Click()
{
    todaystask();
}

void Form1::todaystask()
{
    taskfile = taskstore::taskFilePath(m_programDir);
    filenum = m_fileNumbers.freeFile();
    Command3->show();
    setWindowTitle(QStringLiteral("Task Dayvane"));

    const taskstore::ScanResult scan =
        taskstore::scanTaskFile(m_fileNumbers, filenum, taskfile, m_clock, tasklines);
    if (scan.matched) {
        setWindowTitle(QStringLiteral("Today's Task(s)"));
        Text5->show();
        Text5->raise();
    }
    setText5Text(scan.listText);
    if (!scan.error.isEmpty())
        reportFileProblem(scan.error);
}

void Form1::Command1_Click() {}

void Form1::Text1_Change() {}

void Form1::Text2_Change() {}

void Form1::Text3_Change() {}
