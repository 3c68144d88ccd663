#include "support/AtSpiTree.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QTest>

#include <utility>

namespace vexa::test {

namespace {

const QString kAccessible = QStringLiteral("org.a11y.atspi.Accessible");
constexpr int kAnswerMs = 20000;
constexpr int kDeepest = 14;         // deeper than any of VEXA's windows
constexpr quint32 kStateChecked = 4; // ATSPI_STATE_CHECKED

struct Reference {
    QString bus;
    QString path;
};

// Asks and waits with the event loop running, since the answer may come from this program.
QDBusMessage ask(QDBusConnection& bus, const Reference& object, const QString& interface,
                 const QString& method, const QVariantList& arguments = {}) {
    QDBusMessage call = QDBusMessage::createMethodCall(object.bus, object.path, interface, method);
    call.setArguments(arguments);
    QDBusPendingCall pending = bus.asyncCall(call, kAnswerMs);
    (void)QTest::qWaitFor([&] { return pending.isFinished(); }, kAnswerMs + 5000);
    return pending.isFinished() ? pending.reply() : QDBusMessage();
}

std::vector<Reference> children(QDBusConnection& bus, const Reference& object) {
    const QDBusMessage reply = ask(bus, object, kAccessible, QStringLiteral("GetChildren"));
    std::vector<Reference> found;
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return found;
    const QDBusArgument list = reply.arguments().at(0).value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        Reference child;
        QDBusObjectPath path;
        list.beginStructure();
        list >> child.bus >> path;
        list.endStructure();
        child.path = path.path();
        found.push_back(child);
    }
    list.endArray();
    return found;
}

QString name(QDBusConnection& bus, const Reference& object) {
    const QDBusMessage reply = ask(bus, object, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("Get"), {kAccessible, QStringLiteral("Name")});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
    return reply.arguments().at(0).value<QDBusVariant>().variant().toString();
}

// The role's number as readers act on it (GetRoleName is the toolkit's own wording), named as
// AT-SPI's AtspiRole enumeration names it.
QString role(QDBusConnection& bus, const Reference& object) {
    const QDBusMessage reply = ask(bus, object, kAccessible, QStringLiteral("GetRole"));
    if (reply.arguments().isEmpty()) return {};
    const uint number = reply.arguments().at(0).toUInt();
    static const std::pair<uint, const char*> kNames[] = {
        {7, "check box"},      {11, "combo box"}, {16, "dialog"},     {20, "filler"},
        {23, "frame"},         {27, "image"},     {29, "label"},      {31, "list"},
        {32, "list item"},     {34, "menu bar"},  {35, "menu item"},  {37, "page tab"},
        {38, "page tab list"}, {39, "panel"},     {41, "popup menu"}, {43, "push button"},
        {48, "scroll bar"},    {50, "separator"}, {61, "text"},       {62, "toggle button"},
        {63, "tool bar"},      {65, "tree"},      {69, "window"},
    };
    for (const auto& [value, text] : kNames) {
        if (value == number) return QString::fromLatin1(text);
    }
    return QStringLiteral("role %1").arg(number);
}

bool checked(QDBusConnection& bus, const Reference& object) {
    const QDBusMessage reply = ask(bus, object, kAccessible, QStringLiteral("GetState"));
    if (reply.arguments().isEmpty()) return false;
    QList<quint32> words;
    reply.arguments().at(0).value<QDBusArgument>() >> words;
    return !words.isEmpty() && (words.at(0) & (1u << kStateChecked)) != 0;
}

void walk(QDBusConnection& bus, const Reference& object, int depth, std::vector<AtSpiNode>& nodes) {
    nodes.push_back({role(bus, object), name(bus, object), checked(bus, object), depth});
    if (depth >= kDeepest) return;
    for (const Reference& child : children(bus, object)) walk(bus, child, depth + 1, nodes);
}

} // namespace

std::vector<AtSpiNode> readOwnAccessibilityTree(QString* error) {
    QDBusConnection session = QDBusConnection::sessionBus();
    const QDBusMessage address =
        ask(session, {QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus")},
            QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    if (address.type() != QDBusMessage::ReplyMessage || address.arguments().isEmpty()) {
        *error = QStringLiteral("no accessibility bus: ") + address.errorMessage();
        return {};
    }
    QDBusConnection bus = QDBusConnection::connectToBus(address.arguments().at(0).toString(),
                                                        QStringLiteral("vexa-atspi-reader"));
    // The registry lists the programs; this one registers itself as it comes up.
    const Reference desktop{QStringLiteral("org.a11y.atspi.Registry"),
                            QStringLiteral("/org/a11y/atspi/accessible/root")};
    const QString program = QCoreApplication::applicationName();
    std::vector<AtSpiNode> nodes;
    (void)QTest::qWaitFor(
        [&] {
            for (const Reference& application : children(bus, desktop)) {
                if (name(bus, application) != program) continue;
                for (const Reference& window : children(bus, application))
                    walk(bus, window, 0, nodes);
                return true;
            }
            return false;
        },
        kAnswerMs);
    if (nodes.empty()) *error = program + QStringLiteral(" is not on the accessibility bus");
    return nodes;
}

} // namespace vexa::test
