#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace vexa::test {

// One object of a program's accessibility tree as a screen reader gets it over AT-SPI.
struct AtSpiNode {
    QString role; // AT-SPI's role name: "push button", "image", "frame", "filler", ...
    QString name; // what is read out first
    bool checked; // the state a reader says "checked" for
    int depth;    // 0 for the windows
};

// Reads this program's windows from the accessibility bus, through the registry, the way a
// screen reader does. This program answers the questions itself, so the event loop runs while
// the answers come. Empty, with `error` set, when the program is not on the bus.
std::vector<AtSpiNode> readOwnAccessibilityTree(QString* error);

} // namespace vexa::test
