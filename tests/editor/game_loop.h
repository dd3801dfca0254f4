#pragma once

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include "editor/editor.h"
#include "table/table.h"

class Picture;

// The game's side, as the frame does it: the table lock from the update to
// the end of the drawing, the selection's editor view after it, and the
// table files the page chose.
class GameLoop {
public:
    // frameMs 0 runs frames back to back (as the game does without vsync).
    GameLoop(Editor& editor, Table& table, Picture* back, int frameMs = 0)
        : editor_(editor), table_(table) {
        thread_ = std::thread([this, back, frameMs] {
            while (!stop_) {
                {
                    std::lock_guard<std::recursive_mutex> frame(editor_.TableLock());
                    table_.Update(nullptr, 0.01f);
                    table_.Draw(back);
                    std::string path;
                    bool reload = false;
                    if (editor_.TakeTableFile(&path, &reload) && reload) {
                        table_.Load(path.c_str(), "Tester");
                        editor_.TableLoaded(path.c_str());
                        ++loads;
                    }
                }
                editor_.DrawSelection(back);
                ++frames;
                if (frameMs > 0)
                    std::this_thread::sleep_for(std::chrono::milliseconds(frameMs));
                else
                    std::this_thread::yield();
            }
        });
    }
    ~GameLoop() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<int> frames{0};
    std::atomic<int> loads{0};

private:
    Editor& editor_;
    Table& table_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
