// The main window's connection bar and menu: how they are built and where the panes go.

#include "app/MainWindow.h"
#include "app/TaskListView.h"
#include "app/TaskView.h"
#include "app/WidgetMaking.h"
#include "appframe/WindowFonts.h"
#include "platform/SpeedButton.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace {

const char* const kOrganisation = "Кафедра теоретической механики";

} // namespace

using platform::MakeSpeedButton;

void MainWindow::CreateConnectionBar() {
    connectionBar_ = new QFrame(this);
    connectionBar_->setObjectName("connectionBar");
    connectionBar_->setFrameStyle(QFrame::Panel | QFrame::Plain);
    connectButton_ =
        MakeSpeedButton(connectionBar_, "connectButton", "Войти на сервер", {4, 4, 113, 29});
    organisationLabel_ = MakeLabel(connectionBar_, "organisationLabel", kOrganisation);
    organisationLabel_->setFont(appframe::PixelFont(QString::fromUtf8("Impact"), 16));
    organisationLabel_->setStyleSheet("color: rgb(0, 128, 0)");
    organisationLabel_->adjustSize();
    organisationLabel_->move(organisationLabel_->x(), 8);
    MakeLabel(connectionBar_, "addressLabel", "Server IP:")->move(9, 45);
    addressField_ = new QLineEdit("127.0.0.1", connectionBar_);
    addressField_->setObjectName("addressField");
    addressField_->setGeometry(58, 41, 103, 21);
    stateLine_ = MakeLabel(connectionBar_, "stateLine", "");
    stateLine_->setTextFormat(Qt::PlainText);
    stateLine_->move(170, 45);
    connect(connectButton_, &QToolButton::clicked, this, &MainWindow::connectToServer);
}

void MainWindow::CreateMenu() {
    menuPanel_ = new QFrame(this);
    menuPanel_->setObjectName("menuPanel");
    menuPanel_->setFrameStyle(QFrame::Panel | QFrame::Plain);
    menuPanel_->setFont(appframe::PixelFont(QString::fromUtf8("Comic Sans MS"), 16));
    QLabel* menuLabel = MakeLabel(menuPanel_, "menuLabel", "Меню: ");
    menuLabel->setFont(appframe::PixelFont(QString::fromUtf8("Comic Sans MS"), 19));
    menuLabel->adjustSize();
    menuLabel->move(32, 16);
    tasksButton_ = MakeSpeedButton(menuPanel_, "tasksButton", "Задания", {8, 112, 117, 33});
    animationButton_ =
        MakeSpeedButton(menuPanel_, "animationButton", "Анимация", {8, 144, 117, 33});
    calculatorButton_ =
        MakeSpeedButton(menuPanel_, "calculatorButton", "Калькулятор", {8, 191, 117, 33});
    helpButton_ = MakeSpeedButton(menuPanel_, "helpButton", "Помощь", {8, 224, 117, 33});
    animationButton_->hide(); // shown while the task shown has an animation
    connect(tasksButton_, &QToolButton::clicked, this, &MainWindow::requestTaskList);
    connect(animationButton_, &QToolButton::clicked, this, &MainWindow::openAnimation);
    connect(calculatorButton_, &QToolButton::clicked, this, &MainWindow::openCalculator);
    connect(helpButton_, &QToolButton::clicked, this, &MainWindow::openHelp);
}

void MainWindow::ArrangePanes() {
    const int w = width();
    const int h = height();
    connectionBar_->setGeometry(0, 0, w, kConnectionBarHeight);
    menuPanel_->setGeometry(0, kConnectionBarHeight, kMenuWidth, h - kConnectionBarHeight);
    const QRect client(kMenuWidth, kConnectionBarHeight, w - kMenuWidth, h - kConnectionBarHeight);
    taskListView_->setGeometry(client);
    taskView_->setGeometry(client);
    ArrangeConnectionBar();
    taskView_->Arrange();
}

void MainWindow::ArrangeConnectionBar() {
    organisationLabel_->move(connectionBar_->width() - organisationLabel_->width() - 30,
                             organisationLabel_->y());
    stateLine_->resize(std::max(0, connectionBar_->width() - stateLine_->x() - 8),
                       stateLine_->sizeHint().height());
}
