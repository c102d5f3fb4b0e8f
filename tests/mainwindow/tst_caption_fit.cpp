// Every caption of the main form fits its rectangle in the application font, and no separator line crosses one.
#include "pipeline/image_miniature.h"
#include "support/test_app_folder.h"

#include "app/app_font.h"
#include "mainwindow/MainWindow.h"
#include "ui_MainWindow.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

#include <memory>

namespace {

struct Caption
{
    QWidget* Widget = nullptr;
    QString Text;
    QRect Room;      // where the text may go, in the widget's coordinates
    QSize Needed;    // what the text takes
};

QSize TextSize(const QFontMetrics& p_Metrics, const QString& p_sText)
{
    const QStringList lines = p_sText.split('\n');
    int iWidth = 0;
    for (const QString& sLine : lines)
        iWidth = std::max(iWidth, p_Metrics.horizontalAdvance(sLine));
    return {iWidth, p_Metrics.height() * int(lines.size())};
}

QString PlainText(const QLabel* p_pLabel)
{
    const bool bRich = p_pLabel->textFormat() == Qt::RichText
                       || (p_pLabel->textFormat() == Qt::AutoText && Qt::mightBeRichText(p_pLabel->text()));
    if (!bRich)
        return p_pLabel->text();
    QTextDocument document;
    document.setHtml(p_pLabel->text());
    return document.toPlainText();
}

// The caption of a label, check box, radio button or push button; an empty text for any other widget.
Caption CaptionOf(QWidget* p_pWidget)
{
    Caption c;
    c.Widget = p_pWidget;
    const QFontMetrics metrics(p_pWidget->font());
    if (auto* pLabel = qobject_cast<QLabel*>(p_pWidget)) {
        if (pLabel->pixmap() != nullptr && !pLabel->pixmap()->isNull())
            return c;
        c.Text = PlainText(pLabel);
        int iMargin = pLabel->margin();
        int iIndent = pLabel->indent();
        if (iIndent < 0)
            iIndent = pLabel->frameWidth() > 0 ? metrics.horizontalAdvance('x') / 2 : 0;
        c.Room = pLabel->contentsRect().adjusted(iMargin + iIndent, iMargin, -iMargin, -iMargin);
        if (pLabel->wordWrap()) {
            const QRect bounds = metrics.boundingRect(c.Room, int(pLabel->alignment()) | Qt::TextWordWrap, c.Text);
            c.Needed = bounds.size();
        } else {
            c.Needed = TextSize(metrics, c.Text);
        }
        return c;
    }
    auto* pButton = qobject_cast<QAbstractButton*>(p_pWidget);
    if (pButton == nullptr)
        return c;
    c.Text = pButton->text();
    c.Text.remove('&');
    // A trailing space is not seen.
    while (c.Text.endsWith(' '))
        c.Text.chop(1);
    QStyleOptionButton option;
    option.initFrom(pButton);
    option.text = pButton->text();
    option.icon = pButton->icon();
    option.iconSize = pButton->iconSize();
    QStyle* pStyle = pButton->style();
    if (qobject_cast<QCheckBox*>(pButton) != nullptr)
        c.Room = pStyle->subElementRect(QStyle::SE_CheckBoxContents, &option, pButton);
    else if (qobject_cast<QRadioButton*>(pButton) != nullptr)
        c.Room = pStyle->subElementRect(QStyle::SE_RadioButtonContents, &option, pButton);
    else if (qobject_cast<QPushButton*>(pButton) != nullptr) {
        const int iFrame = pStyle->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, pButton);
        c.Room = pButton->rect().adjusted(iFrame, iFrame, -iFrame, -iFrame);
        if (!pButton->icon().isNull())
            c.Room.setLeft(c.Room.left() + pButton->iconSize().width() + 4);
    } else
        return {};
    c.Needed = TextSize(metrics, c.Text);
    return c;
}

// Where the text is drawn, in the coordinates of p_pTop.
QRect DrawnText(const Caption& p_Caption, QWidget* p_pTop)
{
    Qt::Alignment alignment = Qt::AlignCenter;
    if (auto* pLabel = qobject_cast<QLabel*>(p_Caption.Widget))
        alignment = pLabel->alignment();
    else if (qobject_cast<QPushButton*>(p_Caption.Widget) == nullptr)
        alignment = Qt::AlignLeft | Qt::AlignVCenter;
    const QRect local = QStyle::alignedRect(Qt::LeftToRight, alignment,
                                            p_Caption.Needed.boundedTo(p_Caption.Room.size()), p_Caption.Room);
    return QRect(p_Caption.Widget->mapTo(p_pTop, local.topLeft()), local.size());
}

QString Describe(const Caption& p_Caption)
{
    return QString("%1 \"%2\": needs %3x%4, has %5x%6 (font %7 px)")
          .arg(p_Caption.Widget->objectName(), p_Caption.Text)
          .arg(p_Caption.Needed.width())
          .arg(p_Caption.Needed.height())
          .arg(p_Caption.Room.width())
          .arg(p_Caption.Room.height())
          .arg(QFontInfo(p_Caption.Widget->font()).pixelSize());
}

} // namespace

class tst_caption_fit : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAppFolder> m_pFolder;
    std::unique_ptr<MainWindow> m_pWindow;

    QList<Caption> captions() const
    {
        QList<Caption> list;
        for (QWidget* pWidget : m_pWindow->findChildren<QWidget*>()) {
            Caption c = CaptionOf(pWidget);
            if (!c.Text.trimmed().isEmpty())
                list << c;
        }
        return list;
    }

private slots:
    void initTestCase()
    {
        ApplyApplicationFont();
        m_pFolder = std::make_unique<TestAppFolder>();
        m_pWindow = std::make_unique<MainWindow>();
        m_pWindow->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pWindow.get()));
    }
    void cleanupTestCase()
    {
        m_pWindow.reset();
        m_pFolder.reset();
    }

    // The family the program asks for is the one fontconfig gives (the build's dependencies install it).
    void fontIsInstalled()
    {
        const QFontInfo info(QApplication::font());
        QCOMPARE(info.family(), ApplicationFont().family());
        QCOMPARE(info.pixelSize(), ApplicationFont().pixelSize());
    }

    void everyCaptionFits()
    {
        const QList<Caption> list = captions();
        QVERIFY(list.size() > 100);
        QStringList clipped;
        for (const Caption& c : list)
            if (c.Needed.width() > c.Room.width() || c.Needed.height() > c.Room.height())
                clipped << Describe(c);
        QVERIFY2(clipped.isEmpty(), qPrintable(QString::number(clipped.size()) + " clipped:\n" + clipped.join('\n')));
    }

    // A line whose stroke runs through a caption's text stops at the caption:
    // the caption is stacked above it and fills its background.
    void noSeparatorCrossesACaption()
    {
        QWidget* pTop = m_pWindow->centralWidget();
        QList<QFrame*> lines;
        for (QFrame* pFrame : pTop->findChildren<QFrame*>())
            if (pFrame->frameShape() == QFrame::HLine || pFrame->frameShape() == QFrame::VLine)
                lines << pFrame;
        QVERIFY(!lines.isEmpty());
        QStringList crossed;
        int iCovered = 0;
        for (const Caption& c : captions()) {
            if (!pTop->isAncestorOf(c.Widget))
                continue;
            const QRect text = DrawnText(c, pTop);
            for (QFrame* pLine : lines) {
                if (pLine->isAncestorOf(c.Widget))
                    continue;
                // The line's drawn stroke: its middle row or column.
                QRect stroke = QRect(pLine->mapTo(pTop, QPoint(0, 0)), pLine->size());
                if (pLine->frameShape() == QFrame::HLine)
                    stroke = QRect(stroke.left(), stroke.center().y(), stroke.width(), 1);
                else
                    stroke = QRect(stroke.center().x(), stroke.top(), 1, stroke.height());
                if (!stroke.intersects(text))
                    continue;
                QWidget* pStacked = c.Widget;
                while (pStacked->parentWidget() != pLine->parentWidget())
                    pStacked = pStacked->parentWidget();
                const QObjectList& siblings = pLine->parentWidget()->children();
                if (c.Widget->autoFillBackground() && siblings.indexOf(pStacked) > siblings.indexOf(pLine))
                    ++iCovered;
                else
                    crossed << QString("%1 crosses %2 \"%3\"").arg(pLine->objectName(), c.Widget->objectName(), c.Text);
            }
        }
        QVERIFY2(crossed.isEmpty(), qPrintable(crossed.join('\n')));
        QVERIFY(iCovered >= 2);   // "2Tap" and "Windowing enabled" under line_11
    }

    // The state label takes texts of its own while the program runs; each
    // fits and ends clear of the line beside it.
    void stateTextsFitAndClearTheLine_data()
    {
        QTest::addColumn<QString>("text");
        for (const char* szText : {"Ready", "Connected !", "Unmounting, wait...", "Unmounting Driver, wait...",
                                   "No Digi Board selected", "Attempt to connect 3/3"})
            QTest::newRow(szText) << QString(szText);
    }
    void stateTextsFitAndClearTheLine()
    {
        QFETCH(QString, text);
        QLabel* pState = m_pWindow->ui->label_State;
        QFrame* pLine = m_pWindow->findChild<QFrame*>("line_8");
        QVERIFY(pLine);
        const QString sBefore = pState->text();
        pState->setText(text);
        const Caption c = CaptionOf(pState);
        pState->setText(sBefore);
        QVERIFY2(c.Needed.width() <= c.Room.width() && c.Needed.height() <= c.Room.height(), qPrintable(Describe(c)));
        QWidget* pTop = m_pWindow->centralWidget();
        const QRect line(pLine->mapTo(pTop, QPoint(0, 0)), pLine->size());
        QVERIFY2(!DrawnText(c, pTop).intersects(line), qPrintable(Describe(c)));
    }

    // The miniature beside the view shows the whole small logo, not a corner of it.
    void miniatureShowsTheWholeLogo()
    {
        ImageMiniature* pMiniature = m_pWindow->Miniature;
        QVERIFY(pMiniature);
        const QPixmap shown = pMiniature->pixmap(Qt::ReturnByValue);
        QVERIFY(!shown.isNull());
        QVERIFY(shown.width() <= int(pMiniature->miniWidth) && shown.height() <= int(pMiniature->miniHeight));
        QVERIFY(shown.width() == int(pMiniature->miniWidth) || shown.height() == int(pMiniature->miniHeight));
        QWidget* pArea = m_pWindow->findChild<QWidget*>("label_Miniature");
        QVERIFY(pArea);
        QVERIFY2(shown.width() <= pArea->width() && shown.height() <= pArea->height(),
                 qPrintable(QString("%1x%2 in %3x%4").arg(shown.width()).arg(shown.height()).arg(pArea->width()).arg(pArea->height())));
    }

    // For the eye: the form as drawn, in the test's folder.
    void screenshot()
    {
        // KESTIVO_FORM_SHOT names the PNG to keep; otherwise it goes to a
        // folder of its own that is removed afterwards.
        QTemporaryDir scratch;
        QString sPath = qEnvironmentVariable("KESTIVO_FORM_SHOT");
        if (sPath.isEmpty()) {
            QVERIFY(scratch.isValid());
            sPath = scratch.filePath("form.png");
        }
        QVERIFY(m_pWindow->grab().save(sPath));
        // The left column, twice as large.
        const QPixmap column = m_pWindow->grab(QRect(0, 0, 495, 1000));
        const QString sLeft = QString(sPath).replace(".png", "-left.png");
        QVERIFY(column.scaled(column.size() * 2).save(sLeft));
        // What was written reads back as the window drawn, not a blank.
        const QImage shot(sPath);
        QCOMPARE(shot.size(), m_pWindow->size() * m_pWindow->devicePixelRatioF());
        QCOMPARE(QImage(sLeft).size(), column.size() * 2);
        QSet<QRgb> colours;
        for (int y = 0; y < shot.height(); y += 7)
            for (int x = 0; x < shot.width(); x += 7)
                colours.insert(shot.pixel(x, y));
        QVERIFY2(colours.size() > 2, qPrintable(QString::number(colours.size())));
    }
};

QTEST_MAIN(tst_caption_fit)
#include "tst_caption_fit.moc"
