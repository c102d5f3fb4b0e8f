// The "BP Offset" window: the operator shifts the current proxy's bad-pixel map in X and Y, kept in "BP_Offset.txt".
#pragma once

#include <QByteArray>
#include <QString>
#include <QWidget>

class KV_Log;
class QCloseEvent;

namespace Ui {
class OffsetBP_Widget;
}

class OffsetBP_Widget : public QWidget
{
    Q_OBJECT

public:
    explicit OffsetBP_Widget(QWidget* parent = nullptr);
    ~OffsetBP_Widget() override;

    void SetLog(KV_Log* p_pLog);
    // The proxy whose section is read and saved; makes sure the file holds it.
    void SetProxyName(QString p_sProxyName);
    // The proxy last set; empty until one is.
    QString ProxyName() const { return m_sProxyName; }
    void CreateBPOffsetFile();
    // The proxy's offsets into the spin boxes (a missing section is added with zeros).
    void ReadBPOffsetFile();
    // Rewrites the proxy's section with the spin boxes' values, only when the
    // window was shown since the file was last written.
    void SaveBPOffsetFile();

    // Set by the main window when it shows the window.
    void SetShownFlag(bool p_bShown) { m_bShown = p_bShown; }
    bool ShownFlag() const { return m_bShown; }
    // The last read did not find the proxy's section.
    bool EndReached() const { return m_bEndReached; }
    int XOffset() const { return m_iXOffset; }
    int YOffset() const { return m_iYOffset; }
    QString FilePath() const;

    Ui::OffsetBP_Widget* ui = nullptr;

signals:
    void XOffsetChanged(int p_iValue);
    void YOffsetChanged(int p_iValue);

public slots:
    void SpinBox_X_Changed(int p_iValue);
    void SpinBox_Y_Changed(int p_iValue);

protected:
    void closeEvent(QCloseEvent* p_pEvent) override;

private:
    void WarnFileProblem(const QString& p_sText);

    KV_Log* m_pOwnLog = nullptr;
    KV_Log* m_pLog = nullptr;
    bool m_bEndReached = false;
    bool m_bShown = false;
    QString m_sFileName;
    // The file's text before and after the proxy's values at the last read or save.
    QByteArray m_Before;
    QByteArray m_After;
    // Proxy name + " :\n"; empty until a proxy is set.
    QByteArray m_HeaderLine;
    QString m_sProxyName;
    int m_iXOffset = 0;
    int m_iYOffset = 0;
};
