#include "download/CFileDownload.h"

#include "download/DownloadSpeed.h"
#include "platform/MonotonicTick.h"

#include <QCoreApplication>
#include <QPointer>

class CFileDownload::BindStatusSink final : public platform::IBindStatusCallback {
public:
    explicit BindStatusSink(CFileDownload* owner) : owner_(owner) {}
    void detach() { owner_ = nullptr; }

    void OnStartBinding(std::shared_ptr<platform::DownloadBinding> binding) override
    {
        if (owner_)
            owner_->IBindStatusCallback_OnStartBinding(std::move(binding));
    }
    void OnProgress(qint64 progress, qint64 progressMax, qint32 statusCode, const char16_t* statusText) override
    {
        if (owner_)
            owner_->IBindStatusCallback_OnProgress(progress, progressMax, statusCode, statusText);
    }
    void OnStopBinding(qint32 result, const char16_t* error) override
    {
        if (owner_)
            owner_->IBindStatusCallback_OnStopBinding(result, error);
    }

private:
    CFileDownload* owner_;
};

CFileDownload::CFileDownload(QObject* parent) : CFileDownload(&platform::MonotonicTickMs, parent) {}

CFileDownload::CFileDownload(TickSource tickSource, QObject* parent)
    : QObject(parent), sink_(std::make_shared<BindStatusSink>(this)), tickSource_(std::move(tickSource))
{
}

CFileDownload::~CFileDownload()
{
    sink_->detach();
    if (lHoldsBinding == 1 && oBinding) {
        oHeldBinding.reset();
        lHoldsBinding = 0;
    }
    fDownloading = false;
}

bool CFileDownload::StartDownloading(const QString& sSrc, const QString& sDest)
{
    if (fDownloading)
        return false;
    lStartTick = 0;
    // A handler inside the pump may destroy this object; the sink then
    // lives on until the service lets go of it.
    const std::shared_ptr<BindStatusSink> sink = sink_;
    return platform::DownloadUrlToFile(sSrc, sDest, *sink) == platform::kDownloadComplete;
}

void CFileDownload::AbortDownloading()
{
    // A binding left over from a finished transfer is not touched.
    if (lHoldsBinding == 1 && oBinding)
        oBinding->Abort();
    fDownloading = false;
}

QString CFileDownload::StrFromPtr(const void* lpString, bool fUnicode)
{
    if (!lpString)
        return QString();
    if (fUnicode)
        return QString::fromUtf16(static_cast<const char16_t*>(lpString));
    return QString::fromLocal8Bit(static_cast<const char*>(lpString));
}

void CFileDownload::IBindStatusCallback_OnStartBinding(std::shared_ptr<platform::DownloadBinding> pib)
{
    oBinding = std::move(pib);
    fDownloading = true;
    oHeldBinding = oBinding;
    lHoldsBinding = 1;
}

void CFileDownload::IBindStatusCallback_OnProgress(qint64 ulProgress, qint64 ulProgressMax, qint32 ulStatusCode,
                                                   const char16_t* szStatusText)
{
    if (lStartTick == 0)
        lStartTick = Now();
    const qint64 sinceLastEvent = Now() - lLastTick;
    if (sinceLastEvent > 100 && ulProgress > 0) {
        const qint32 lSpeed = DownloadSpeed(ulProgress, Now() - lStartTick);
        const QString sStatusText = StrFromPtr(szStatusText, true);
        const QPointer<CFileDownload> alive(this);
        emit OnProgress(ulProgress, ulProgressMax, lSpeed, ulStatusCode, sStatusText);
        if (!alive)
            return;
        // Taken after the handlers have returned, so a slow handler does
        // not eat into the next interval.
        lLastTick = Now();
        PumpEvents();
        if (!alive)
            return;
    }
    if (sinceLastEvent > 50)
        PumpEvents();
}

void CFileDownload::IBindStatusCallback_OnStopBinding(qint32 hresult, const char16_t* szError)
{
    Q_UNUSED(hresult);
    Q_UNUSED(szError);
    fDownloading = false;
    if (lHoldsBinding == 1) {
        oHeldBinding.reset();
        lHoldsBinding = 0;
    }
}

void CFileDownload::PumpEvents()
{
    QCoreApplication::processEvents();
}
