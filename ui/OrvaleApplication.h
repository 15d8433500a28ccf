#pragma once
#include <QApplication>

// The application object: exceptions thrown by an event handler are logged and shown,
// and the event loop goes on.
class TOrvaleApplication final : public QApplication {
public:
    TOrvaleApplication(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
