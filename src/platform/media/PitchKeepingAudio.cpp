// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/media/PitchKeepingAudio.h"

#include <QAudioOutput>
#include <QMediaPlayer>
#include <QtGlobal>

#if QT_VERSION < QT_VERSION_CHECK(6, 10, 0)
#include <gst/gst.h>

#include <memory>
#endif

namespace platform {

#if QT_VERSION < QT_VERSION_CHECK(6, 10, 0)

namespace {

// Qt's GStreamer back end builds each output as a bin of its own:
// queue, audioconvert, audioresample, volume, sink. These are the two
// elements the stretcher goes between, by the names Qt gives them.
constexpr const char* kResamplerName = "audioResample";
constexpr const char* kVolumeName = "volume";

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
using ElementRef = std::unique_ptr<GstElement, GstObjectUnref>;

// Sees the output's bin go by while Qt fills it: Qt offers no way to it.
// Only what is added on the thread that makes the output counts, so a
// pipeline of another player busy on its streaming threads is not taken.
struct BinCatcher {
    GThread* thread = g_thread_self();
    GstBin* bin = nullptr;
};

gboolean catchOutputBin(GSignalInvocationHint*, guint count, const GValue* values, gpointer data)
{
    auto* catcher = static_cast<BinCatcher*>(data);
    if (count < 2 || g_thread_self() != catcher->thread || catcher->bin)
        return TRUE;
    auto* element = static_cast<GstElement*>(g_value_get_object(&values[1]));
    gchar* name = element ? gst_element_get_name(element) : nullptr;
    if (g_strcmp0(name, kResamplerName) == 0)
        catcher->bin = GST_BIN(gst_object_ref(g_value_get_object(&values[0])));
    g_free(name);
    return TRUE;
}

bool isMadeBy(GstElement* element, const char* factoryName)
{
    GstElementFactory* factory = gst_element_get_factory(element);
    return factory && g_strcmp0(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), factoryName) == 0;
}

bool linkedDirectly(GstElement* from, GstElement* to)
{
    GstPad* source = gst_element_get_static_pad(from, "src");
    GstPad* sink = gst_element_get_static_pad(to, "sink");
    GstPad* peer = source ? gst_pad_get_peer(source) : nullptr;
    const bool linked = peer && peer == sink;
    for (GstPad* pad : {source, sink, peer}) {
        if (pad)
            gst_object_unref(pad);
    }
    return linked;
}

// Puts scaletempo, and an audioconvert for the format it hands on, between
// the resampler and the volume; the chain is left whole as it was when
// that cannot be done.
QString insertStretcher(GstBin* bin)
{
    const ElementRef resampler(gst_bin_get_by_name(bin, kResamplerName));
    const ElementRef volume(gst_bin_get_by_name(bin, kVolumeName));
    if (!resampler || !volume || !isMadeBy(resampler.get(), "audioresample") || !isMadeBy(volume.get(), "volume")
        || !linkedDirectly(resampler.get(), volume.get()))
        return QStringLiteral("the sound output's chain is not the one expected (audioresample, then volume)");
    GstElement* stretcher = gst_element_factory_make("scaletempo", "keepPitch");
    GstElement* converter = gst_element_factory_make("audioconvert", "keepPitchConvert");
    if (!stretcher || !converter) {
        for (GstElement* element : {stretcher, converter}) {
            if (element)
                gst_object_unref(gst_object_ref_sink(element));
        }
        return QStringLiteral("GStreamer's scaletempo or audioconvert is not installed (gstreamer1.0-plugins-good)");
    }
    gst_element_unlink(resampler.get(), volume.get());
    gst_bin_add_many(bin, stretcher, converter, nullptr);
    if (gst_element_link_many(resampler.get(), stretcher, converter, volume.get(), nullptr))
        return {};
    gst_element_unlink_many(resampler.get(), stretcher, converter, volume.get(), nullptr);
    gst_bin_remove_many(bin, stretcher, converter, nullptr);
    gst_element_link(resampler.get(), volume.get());
    return QStringLiteral("scaletempo could not be linked into the sound output's chain");
}

}  // namespace

PitchKeepingAudioOutput makePitchKeepingAudioOutput(QObject* parent)
{
    // The bin's signal exists once its class does; Qt's back end starts
    // GStreamer itself, but only when the output is made.
    gst_init_check(nullptr, nullptr, nullptr);
    gpointer binClass = g_type_class_ref(GST_TYPE_BIN);
    const guint elementAdded = g_signal_lookup("element-added", GST_TYPE_BIN);
    BinCatcher catcher;
    const gulong hook = g_signal_add_emission_hook(elementAdded, 0, &catchOutputBin, &catcher, nullptr);
    PitchKeepingAudioOutput made;
    made.output = new QAudioOutput(parent);
    g_signal_remove_emission_hook(elementAdded, hook);
    g_type_class_unref(binClass);

    if (!catcher.bin) {
        made.whyNot = QStringLiteral("the media back end is not GStreamer's, or builds its sound output another way");
        return made;
    }
    made.whyNot = insertStretcher(catcher.bin);
    made.keepsPitch = made.whyNot.isEmpty();
    gst_object_unref(catcher.bin);
    return made;
}

void keepPitchAtEveryRate(QMediaPlayer*) { }

#else

PitchKeepingAudioOutput makePitchKeepingAudioOutput(QObject* parent)
{
    return {new QAudioOutput(parent), true, {}};
}

void keepPitchAtEveryRate(QMediaPlayer* player)
{
    player->setPitchCompensation(true);
}

#endif

}  // namespace platform
