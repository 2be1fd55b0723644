#include "download/DownloadEngine.h"

#include "download/DownloadSpeed.h"
#include "platform/host/MonotonicTick.h"

#include <QCoreApplication>
#include <QPointer>

class DownloadEngine::Observer final : public platform::TransferObserver {
public:
    explicit Observer(DownloadEngine* owner) : owner_(owner) {}
    void detach() { owner_ = nullptr; }

    void transferStarted(std::shared_ptr<platform::TransferHandle> handle) override
    {
        if (owner_)
            owner_->onTransferStarted(std::move(handle));
    }
    void transferProgressed(qint64 received, qint64 total, qint32 statusCode, const char16_t* statusText) override
    {
        if (owner_)
            owner_->onTransferProgress(received, total, statusCode, statusText);
    }
    void transferStopped(qint32 result, const char16_t* error) override
    {
        if (owner_)
            owner_->onTransferStopped(result, error);
    }

private:
    DownloadEngine* owner_;
};

DownloadEngine::DownloadEngine(QObject* parent) : DownloadEngine(&platform::monotonicMilliseconds, parent) {}

DownloadEngine::DownloadEngine(TickSource tickSource, QObject* parent)
    : QObject(parent), sink_(std::make_shared<Observer>(this)), tickSource_(std::move(tickSource))
{
}

DownloadEngine::~DownloadEngine()
{
    sink_->detach();
    if (holdsHandle_ && handle_) {
        heldHandle_.reset();
        holdsHandle_ = false;
    }
    downloading_ = false;
}

bool DownloadEngine::start(const QString& source, const QString& target)
{
    if (downloading_)
        return false;
    startTick_ = 0;
    // A handler inside the pump may destroy this object; the sink then
    // lives on until the service lets go of it.
    const std::shared_ptr<Observer> sink = sink_;
    return platform::downloadToFile(source, target, *sink) == platform::kDownloadComplete;
}

void DownloadEngine::abort()
{
    // A handle left over from a finished transfer is not touched.
    if (holdsHandle_ && handle_)
        handle_->abort();
    downloading_ = false;
}

void DownloadEngine::onTransferStarted(std::shared_ptr<platform::TransferHandle> handle)
{
    handle_ = std::move(handle);
    downloading_ = true;
    heldHandle_ = handle_;
    holdsHandle_ = true;
}

void DownloadEngine::onTransferProgress(qint64 received, qint64 total, qint32 statusCode,
                                        const char16_t* statusText)
{
    if (startTick_ == 0)
        startTick_ = now();
    const qint64 sinceLastEvent = now() - lastTick_;
    if (sinceLastEvent > 100 && received > 0) {
        const qint32 speed = downloadSpeed(received, now() - startTick_);
        const QString text = statusText ? QString::fromUtf16(statusText) : QString();
        const QPointer<DownloadEngine> alive(this);
        emit progressed(received, total, speed, statusCode, text);
        if (!alive)
            return;
        // Taken after the handlers have returned, so a slow handler does
        // not eat into the next interval.
        lastTick_ = now();
        pumpEvents();
        if (!alive)
            return;
    }
    if (sinceLastEvent > 50)
        pumpEvents();
}

void DownloadEngine::onTransferStopped(qint32 result, const char16_t* error)
{
    Q_UNUSED(result);
    Q_UNUSED(error);
    downloading_ = false;
    if (holdsHandle_) {
        heldHandle_.reset();
        holdsHandle_ = false;
    }
}

void DownloadEngine::pumpEvents()
{
    QCoreApplication::processEvents();
}
