#pragma once

#include "scan/ScanInterfaces.h"

class QWidget;

namespace vexa::scan {

// Message boxes and the save-as dialog, owned by a window.
class WidgetPrompts : public UserPrompts {
public:
    explicit WidgetPrompts(QWidget* owner) : m_owner(owner) {}

    void message(const QString& text, const QString& title, Icon icon) override;
    bool askYesNo(const QString& text, const QString& title) override;
    std::optional<QString> saveFileName(const QString& filter) override;

private:
    QWidget* m_owner;
};

// Turns a filter of "caption|patterns" pairs ("BMP|*.BMP|GIF|*.GIF") into Qt's form
// ("BMP (*.BMP);;GIF (*.GIF)"). Several patterns of one entry may be separated by ";".
QString qtFileFilter(const QString& filter);

} // namespace vexa::scan
