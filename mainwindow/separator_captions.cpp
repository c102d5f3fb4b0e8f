// Captions that a separator line of the form runs through are drawn above the line, on their own background.
#include "mainwindow/separator_captions.h"

#include <algorithm>

#include <QAbstractButton>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>

namespace {

bool HasCaption(const QWidget* p_pWidget)
{
    if (const auto* pLabel = qobject_cast<const QLabel*>(p_pWidget))
        return !pLabel->text().trimmed().isEmpty();
    if (const auto* pButton = qobject_cast<const QAbstractButton*>(p_pWidget))
        return !pButton->text().trimmed().isEmpty();
    return false;
}

// Where the caption's text is drawn, in p_pForm's coordinates (plain text; a
// rich-text label is measured by its markup, which is never smaller).
QRect TextRect(const QWidget* p_pWidget, const QWidget* p_pForm)
{
    QString sText;
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
    QRect room = p_pWidget->contentsRect();
    if (const auto* pLabel = qobject_cast<const QLabel*>(p_pWidget)) {
        sText = pLabel->text();
        alignment = pLabel->alignment();
    } else if (const auto* pButton = qobject_cast<const QAbstractButton*>(p_pWidget)) {
        sText = pButton->text();
        if (qobject_cast<const QPushButton*>(pButton) != nullptr)
            alignment = Qt::AlignCenter;
        else if (qobject_cast<const QCheckBox*>(pButton) != nullptr || qobject_cast<const QRadioButton*>(pButton) != nullptr)
            room.setLeft(room.left() + pButton->style()->pixelMetric(QStyle::PM_IndicatorWidth)
                         + pButton->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing));
    }
    const QFontMetrics metrics(p_pWidget->font());
    QSize size(0, 0);
    for (const QString& sLine : sText.split(QLatin1Char('\n')))
        size = QSize(std::max(size.width(), metrics.horizontalAdvance(sLine)), size.height() + metrics.height());
    const QRect local = QStyle::alignedRect(Qt::LeftToRight, alignment, size.boundedTo(room.size()), room);
    return QRect(p_pWidget->mapTo(p_pForm, local.topLeft()), local.size());
}

// The row or column the line draws, in p_pForm's coordinates.
QRect Stroke(const QFrame* p_pLine, const QWidget* p_pForm)
{
    const QRect r(p_pLine->mapTo(p_pForm, QPoint(0, 0)), p_pLine->size());
    if (p_pLine->frameShape() == QFrame::HLine)
        return QRect(r.left(), r.center().y(), r.width(), 1);
    return QRect(r.center().x(), r.top(), 1, r.height());
}

} // namespace

int LiftCaptionsOverSeparators(QWidget* p_pForm)
{
    if (p_pForm == nullptr)
        return 0;
    const QList<QWidget*> widgets = p_pForm->findChildren<QWidget*>();
    int iLifted = 0;
    for (QWidget* pWidget : widgets) {
        auto* pLine = qobject_cast<QFrame*>(pWidget);
        if (pLine == nullptr || (pLine->frameShape() != QFrame::HLine && pLine->frameShape() != QFrame::VLine))
            continue;
        const QRect stroke = Stroke(pLine, p_pForm);
        for (QWidget* pCaption : widgets) {
            if (!HasCaption(pCaption) || pLine->isAncestorOf(pCaption))
                continue;
            if (!TextRect(pCaption, p_pForm).intersects(stroke))
                continue;
            // The caption's ancestor that shares the line's parent is what stacks against it.
            QWidget* pStacked = pCaption;
            while (pStacked->parentWidget() != nullptr && pStacked->parentWidget() != pLine->parentWidget())
                pStacked = pStacked->parentWidget();
            if (pStacked->parentWidget() != pLine->parentWidget())
                continue;
            pStacked->raise();
            pCaption->setAutoFillBackground(true);
            ++iLifted;
        }
    }
    return iLifted;
}
