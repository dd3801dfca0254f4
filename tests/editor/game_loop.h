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
// table files the page chose. frameMs 0 runs frames back to back.
class GameLoop {
public:
    GameLoop(Editor& editor, Table& table, Picture* back, int frameMs = 0)
        : thread_([this, &editor, &table, back, frameMs] {
              while (!stop_) {
                  {
                      std::lock_guard<std::recursive_mutex> frame(editor.TableLock());
                      table.Update(nullptr, 0.01f);
                      table.Draw(back);
                      std::string path;
                      bool reload = false;
                      if (editor.TakeTableFile(&path, &reload) && reload) {
                          table.Load(path.c_str(), "Tester");
                          editor.TableLoaded(path.c_str());
                          ++loads;
                      }
                  }
                  editor.DrawSelection(back);
                  ++frames;
                  if (frameMs > 0)
                      std::this_thread::sleep_for(std::chrono::milliseconds(frameMs));
                  else
                      std::this_thread::yield();
              }
          }) {}
    ~GameLoop() { Stop(); }
    void Stop() {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    std::atomic<int> frames{0}, loads{0};

private:
    std::atomic<bool> stop_{false};
    std::thread thread_;
};
