// The windows of the GigE Vision stand-in: the device finder and the feature browser, as Qt dialogs.
#include "platform/ebus/ebus.h"

#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <atomic>

class PvWndPrivate
{
public:
    std::unique_ptr<QDialog> dialog;
    QTreeWidget* devices = nullptr;
    QTableWidget* features = nullptr;
    QTimer* refresh = nullptr;
};

namespace {
std::atomic<int> g_iAutomaticChoice{PvDeviceFinderWnd::kAsk};
}

// ---------------------------------------------------------------- PvWnd

PvWnd::PvWnd()
    : m_pWindow(new PvWndPrivate)
{
}

PvWnd::~PvWnd() = default;

void PvWnd::SetTitle(const PvString& p_sTitle)
{
    m_sTitle = p_sTitle.GetAscii();
    if (m_pWindow->dialog)
        m_pWindow->dialog->setWindowTitle(QString::fromLatin1(m_sTitle.c_str()));
}

PvString PvWnd::GetTitle() const { return PvString(m_sTitle); }

PvResult PvWnd::ShowModal()
{
    m_pWindow->dialog.reset(new QDialog(QApplication::activeWindow()));
    m_pWindow->dialog->setWindowTitle(QString::fromLatin1(m_sTitle.c_str()));
    m_pWindow->dialog->setModal(true);
    build(m_pWindow.get());
    const int iResult = m_pWindow->dialog->exec();
    if (iResult == QDialog::Accepted)
        accepted();
    m_pWindow->dialog.reset();
    return iResult == QDialog::Accepted ? PvResult(PvResult::Code::OK) : PvResult(PvResult::Code::ABORTED);
}

PvResult PvWnd::ShowModeless()
{
    if (!m_pWindow->dialog) {
        m_pWindow->dialog.reset(new QDialog(nullptr));
        build(m_pWindow.get());
    }
    m_pWindow->dialog->setWindowTitle(QString::fromLatin1(m_sTitle.c_str()));
    m_pWindow->dialog->show();
    m_pWindow->dialog->raise();
    return PvResult::Code::OK;
}

PvResult PvWnd::Close()
{
    if (!m_pWindow->dialog)
        return PvResult::Code::STATE_ERROR;
    m_pWindow->dialog->close();
    m_pWindow->dialog.reset();
    return PvResult::Code::OK;
}

bool PvWnd::IsVisible() const
{
    return m_pWindow->dialog && m_pWindow->dialog->isVisible();
}

// ---------------------------------------------------------------- PvDeviceFinderWnd

PvDeviceFinderWnd::PvDeviceFinderWnd()
{
    m_sTitle = "GEV Device Selection";
}

PvDeviceFinderWnd::~PvDeviceFinderWnd() = default;

void PvDeviceFinderWnd::SetPleoraProtocolEnabled(bool, bool) {}
void PvDeviceFinderWnd::SetGEVEnabled(bool p_bEnabled, bool) { m_bGEV = p_bEnabled; }
void PvDeviceFinderWnd::SetU3VEnabled(bool p_bEnabled, bool) { m_bU3V = p_bEnabled; }

void PvDeviceFinderWnd::SetAutomaticChoice(int p_iRow) { g_iAutomaticChoice.store(p_iRow); }
int PvDeviceFinderWnd::AutomaticChoice() { return g_iAutomaticChoice.load(); }

void PvDeviceFinderWnd::build(PvWndPrivate* p_pWindow)
{
    m_pSelected = nullptr;
    QDialog* d = p_pWindow->dialog.get();
    d->setObjectName("PvDeviceFinderWnd");
    auto* layout = new QVBoxLayout(d);
    layout->addWidget(new QLabel(QObject::tr("Devices found on the network:"), d));
    auto* tree = new QTreeWidget(d);
    tree->setObjectName("treeWidget_Devices");
    tree->setColumnCount(3);
    tree->setHeaderLabels({QObject::tr("Device"), QObject::tr("IP address"), QObject::tr("MAC address")});
    tree->setRootIsDecorated(false);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    p_pWindow->devices = tree;
    layout->addWidget(tree);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, d);
    buttons->button(QDialogButtonBox::Ok)->setObjectName("pushButton_OK");
    buttons->button(QDialogButtonBox::Cancel)->setObjectName("pushButton_Cancel");
    buttons->button(QDialogButtonBox::Ok)->setEnabled(false);
    layout->addWidget(buttons);
    d->resize(560, 280);

    // Every simulated device speaks GigE Vision; none is a USB3 Vision device.
    m_Listed.clear();
    if (m_bGEV)
        m_Listed = PvDiscoverDevices();
    for (const PvDeviceInfo* info : m_Listed)
        new QTreeWidgetItem(tree, {QString::fromLatin1(info->GetDisplayID().GetAscii()),
                                   QString::fromLatin1(info->GetConnectionID().GetAscii()),
                                   QString::fromLatin1(info->GetMACAddress().GetAscii())});
    QObject::connect(tree, &QTreeWidget::itemSelectionChanged, d, [tree, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(!tree->selectedItems().isEmpty());
    });
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, d, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::accepted, d, [d, tree] {
        if (!tree->selectedItems().isEmpty())
            d->accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, d, &QDialog::reject);

    const int iChoice = AutomaticChoice();
    if (iChoice != kAsk) {
        // Chosen once the dialog runs modally, as a person's click would be.
        QTimer::singleShot(0, d, [d, tree, buttons, iChoice] {
            if (iChoice >= 0 && iChoice < tree->topLevelItemCount()) {
                tree->setCurrentItem(tree->topLevelItem(iChoice));
                buttons->button(QDialogButtonBox::Ok)->click();
            } else {
                d->reject();
            }
        });
    }
}

void PvDeviceFinderWnd::accepted()
{
    m_pSelected = nullptr;
    QTreeWidget* tree = m_pWindow->devices;
    if (tree == nullptr || tree->selectedItems().isEmpty())
        return;
    const int iRow = tree->indexOfTopLevelItem(tree->selectedItems().front());
    if (iRow >= 0 && iRow < static_cast<int>(m_Listed.size()))
        m_pSelected = m_Listed[static_cast<size_t>(iRow)];
}

// ---------------------------------------------------------------- PvGenBrowserWnd

PvGenBrowserWnd::PvGenBrowserWnd()
{
    m_sTitle = "Parameters";
}

PvGenBrowserWnd::~PvGenBrowserWnd() = default;

PvResult PvGenBrowserWnd::SetGenParameterArray(PvGenParameterArray* p_pArray)
{
    m_pArray = p_pArray;
    if (m_pWindow->dialog) {
        m_pWindow->dialog.reset();
        ShowModeless();
    }
    return PvResult::Code::OK;
}

void PvGenBrowserWnd::build(PvWndPrivate* p_pWindow)
{
    QDialog* d = p_pWindow->dialog.get();
    d->setObjectName("PvGenBrowserWnd");
    auto* layout = new QVBoxLayout(d);
    auto* table = new QTableWidget(d);
    table->setObjectName("tableWidget_Features");
    table->setColumnCount(2);
    table->setHorizontalHeaderLabels({QObject::tr("Feature"), QObject::tr("Value")});
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layout->addWidget(table);
    p_pWindow->features = table;
    d->resize(420, 480);

    PvGenParameterArray* pArray = m_pArray;
    auto fill = [table, pArray] {
        const int n = pArray != nullptr ? static_cast<int>(pArray->GetCount()) : 0;
        table->setRowCount(n);
        for (int i = 0; i < n; ++i) {
            PvGenParameter* p = pArray->Get(static_cast<uint32_t>(i));
            auto setCell = [table, i](int c, const QString& s) {
                QTableWidgetItem* it = table->item(i, c);
                if (it == nullptr)
                    table->setItem(i, c, new QTableWidgetItem(s));
                else if (it->text() != s)
                    it->setText(s);
            };
            setCell(0, QString::fromLatin1(p->GetName().GetAscii()));
            setCell(1, QString::fromLatin1(p->ToString().GetAscii()));
        }
    };
    fill();
    // Values change while the device streams (the stream's bandwidth, for one).
    p_pWindow->refresh = new QTimer(d);
    QObject::connect(p_pWindow->refresh, &QTimer::timeout, d, fill);
    p_pWindow->refresh->start(1000);
}
