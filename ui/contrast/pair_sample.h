#pragma once

#include <QColor>
#include <QWidget>

/// Text and an icon-sized shape drawn in one colour on another. The full sample shows text at a
/// normal size (12 pt) and at both large sizes (18 pt, and 14 pt bold) with a caption of its
/// size; the compact one, for a row of small previews, shows a short text in 14 pt bold and the
/// shape.
class PairSample : public QWidget
{
    Q_OBJECT
public:
    enum class Kind { Full, Compact };

    PairSample(Kind kind, QWidget* parent);

    void SetPair(const QColor& text, const QColor& background);
    QColor TextColour() const { return m_text; }
    QColor BackgroundColour() const { return m_background; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Kind m_kind;
    QColor m_text = Qt::black;
    QColor m_background = Qt::white;
};
