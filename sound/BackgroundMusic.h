// The presentation's background MIDI: started once the movie shows, repeated by the
// loop count, stopped, closed and deleted when the run ends. Runs on the runner's
// thread; MCI's notifications reach it through the runner window.
#pragma once

#include "settings/ProjectSettings.h"
#include "sound/MediaPlayer.h"

#include <cstdint>
#include <string>

namespace quindle {

// What the music needs from the runner around the player.
class IMusicHost {
public:
    virtual ~IMusicHost() = default;
    virtual bool FileExists(const std::string& path) = 0;
    // Dispatches every message waiting in the runner thread's queue.
    virtual void PumpMessages() = 0;
    virtual void RemoveFile(const std::string& path) = 0;
};

class TBackgroundMusic {
public:
    // settings: the running presentation's, read and never written. MusicRepeats and
    // MusicLoopCount are read when the music starts, the MIDI-mute flag at each pass end.
    TBackgroundMusic(IMciDevice& mci, IMusicHost& host, const TProjectSettings& settings);

    // The start-music notice: plays midiPath (the extracted file's full path) unless it
    // is missing. Every failure is silent; the show goes on without music.
    void Start(const std::string& midiPath, uintptr_t notificationWindow);
    // MM_MCINOTIFY at the runner window (its wParam).
    void HandleNotify(uintptr_t code) { player_.HandleNotify(code); }
    // The run's end, when the session carried a MIDI file: no further pass, the device
    // stopped and closed with the queue drained around the close, the file deleted.
    void ShutDown(const std::string& midiPath);

    TMediaPlayer& Player() { return player_; }

private:
    void OnPassEnded();

    TMediaPlayer player_;
    IMusicHost& host_;
    const TProjectSettings& settings_;
    int32_t loopCounter_ = 0;
    bool shutDown_ = false;  // no pass starts once the shut-down has begun
};

// MidiLoopTimes as a count of passes: 0 means without end, which is as many passes
// as the counter holds.
int32_t LoopPassesOf(int32_t midiLoopTimes);

}  // namespace quindle
