#include "mainwindow.h"

#include "hostide/host.h"
#include "plinth/dialogs.h"

#include "com/support.h"
#include "com/util.h"

#include <QDockWidget>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QStatusBar>

MainWindow::MainWindow(hostide::Host &host, QWidget *parent) : QMainWindow(parent), m_host(host)
{
    setWindowTitle(QStringLiteral("Karrowin Developer"));
    resize(900, 600);

    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->addAction(tr("E&xit"), this, &QWidget::close);
    QMenu *tools = menuBar()->addMenu(tr("&Tools"));
    QAction *options = tools->addAction(tr("&Options..."), this, &MainWindow::showOptions);
    options->setObjectName(QStringLiteral("actionOptions"));

    m_output = new QPlainTextEdit(this);
    m_output->setObjectName(QStringLiteral("output"));
    m_output->setReadOnly(true);
    auto *dock = new QDockWidget(tr("Output"), this);
    dock->setObjectName(QStringLiteral("outputDock"));
    dock->setWidget(m_output);
    addDockWidget(Qt::BottomDockWidgetArea, dock);
    setCentralWidget(new QWidget(this));

    m_main = new QLabel(tr("Ready"), this);
    m_main->setObjectName(QStringLiteral("Main"));
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("progress"));
    m_progress->setMaximumWidth(200);
    m_progress->hide();
    statusBar()->addWidget(m_main, 1);
    statusBar()->addPermanentWidget(m_progress);

    m_host.onOutput = [this](const QString &text) { output(text); };
    m_host.onStatusText = [this](const QString &pane, const QString &text) {
        if (pane == QLatin1String("Main"))
            m_main->setText(text);
    };
    m_host.onProgressMax = [this](int count) {
        m_progress->setRange(0, count);
        m_progress->setValue(0);
        m_progress->setVisible(count > 0);
    };
    m_host.onProgressPos = [this](int pos) { m_progress->setValue(pos); };
}

MainWindow::~MainWindow()
{
    m_host.onOutput = nullptr;
    m_host.onStatusText = nullptr;
    m_host.onProgressMax = nullptr;
    m_host.onProgressPos = nullptr;
}

void MainWindow::output(const QString &text)
{
    m_output->appendPlainText(text);
}

void MainWindow::showOptions()
{
    auto fail = [this](const char *step, HRESULT hr) {
        std::string why = com::systemMessage(hr);
        const QString text = QStringLiteral("%1 failed: %2 (0x%3)")
                                 .arg(QLatin1String(step), QString::fromStdString(why.empty() ? "Unknown error" : why))
                                 .arg(quint32(hr), 8, 16, QLatin1Char('0'));
        output(text);
        plinth::dialogs().messageBox(this, text, windowTitle(), plinth::MB_ICONERROR);
    };
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(CComBSTR("KRWI.ToolsOptions"), &clsid);
    if (FAILED(hr))
        return fail("Finding KRWI.ToolsOptions", hr);
    {
        CComPtr<IDispatch> options;
        hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                              reinterpret_cast<void **>(&options));
        if (FAILED(hr))
            return fail("Creating KRWI.ToolsOptions", hr);
        CComBSTR name("ShowWizard");
        LPOLESTR names[] = {name};
        DISPID id = DISPID_UNKNOWN;
        hr = options->GetIDsOfNames(GUID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
        if (FAILED(hr))
            return fail("Looking up ShowWizard", hr);
        DISPPARAMS none{nullptr, nullptr, 0, 0};
        hr = options->Invoke(id, GUID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr, nullptr, nullptr);
        if (FAILED(hr))
            return fail("ShowWizard", hr);
    }
    CoFreeUnusedLibraries();
}
