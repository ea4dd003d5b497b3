#pragma once

#include <QColor>
#include <QLabel>

namespace rf {

struct Settings;

// A static text with its own font and colours; transparent over its parent unless told otherwise.
class CTStatic : public QLabel {
    Q_OBJECT

public:
    explicit CTStatic(QWidget* parent = nullptr);

    void SetText(const QString& text) { setText(text); }
    void SetFont(const QString& face, int weight, int height, const QColor& textColour,
                 const QColor& backgroundColour);
    void SetTransparent(bool transparent);
    // The static font and colours of the settings.
    void SetStaticLook(const Settings& settings);

    QColor TextColour() const { return textColour_; }
    QColor BackgroundColour() const { return backgroundColour_; }
    bool IsTransparent() const { return transparent_; }

private:
    void ApplyColours();

    QColor textColour_{0, 0, 0};
    QColor backgroundColour_{255, 255, 255};
    bool transparent_ = true;
};

} // namespace rf
