// Start, loop and shut-down of the background MIDI.
#include "sound/BackgroundMusic.h"

#include <limits>

namespace quindle {

int32_t LoopPassesOf(int32_t midiLoopTimes) {
    return midiLoopTimes == 0 ? std::numeric_limits<int32_t>::max() : midiLoopTimes;
}

TBackgroundMusic::TBackgroundMusic(IMciDevice& mci, IMusicHost& host, const TProjectSettings& settings)
    : player_(mci), host_(host), settings_(settings) {}

void TBackgroundMusic::Start(const std::string& midiPath, uintptr_t notificationWindow) {
    if (midiPath.empty() || !host_.FileExists(midiPath)) return;
    player_.NotificationWindow = notificationWindow;
    loopCounter_ = LoopPassesOf(settings_.MusicLoopCount);
    try {
        player_.FileName = midiPath;
        player_.Open();
        if (settings_.MusicRepeats.Checked) player_.OnNotify = [this](TMediaPlayer&) { OnPassEnded(); };
        player_.SetNotify(true);
        player_.Play();
    } catch (const std::exception&) {
        // No sequencer or an unreadable file: the presentation runs without music.
    }
}

// Every notification ends a pass, whatever it reports: a failed pass starts the next.
void TBackgroundMusic::OnPassEnded() {
    if (shutDown_ || settings_.MidiMuted.Checked) return;
    // A negative count plays once; it is never counted further down than it can go.
    if (loopCounter_ > std::numeric_limits<int32_t>::min()) --loopCounter_;
    player_.SetNotify(true);
    if (loopCounter_ > 0) player_.Play();
}

void TBackgroundMusic::ShutDown(const std::string& midiPath) {
    if (midiPath.empty()) return;
    // First, so that the notification the stop causes starts no further pass.
    shutDown_ = true;
    if (player_.GetMode() == mpPlaying) player_.Stop();
    host_.PumpMessages();
    player_.Close();
    host_.PumpMessages();
    host_.RemoveFile(midiPath);
}

}  // namespace quindle
