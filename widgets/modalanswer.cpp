#include "modalanswer.h"

#include <QApplication>
#include <QTimer>

void answerNextModal(std::function<void(QWidget *)> answer, int checkMs, QObject *context)
{
    auto *timer = new QTimer(context);
    timer->setInterval(checkMs);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer = std::move(answer)] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}
