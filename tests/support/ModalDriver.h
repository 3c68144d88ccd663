#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

namespace vexa::test {

// Acts on the next modal window of type T from inside its event loop: once `ready` holds
// for it, `act` runs once (clicks, typing). Call before the code that opens the window.
template <typename T> void whenModal(std::function<bool(T*)> ready, std::function<void(T*)> act) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, ready, act] {
        T* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window || !ready(window)) return;
        poll->stop();
        poll->deleteLater();
        act(window);
    });
    poll->start();
}

template <typename T> void whenModal(std::function<void(T*)> act) {
    whenModal<T>([](T*) { return true; }, std::move(act));
}

} // namespace vexa::test
