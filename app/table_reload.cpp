#include "app/table_reload.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "physics/main_ball.h"
#include "script/fixed_string.h"
#include "script/message.h"
#include "table/game_random.h"
#include "table/table.h"

namespace {

struct KeptBall {
    std::string name;
    int rank = 0;  // which of the balls of that name, in list order
    Vec2 position, velocity;
    std::int32_t state = BALL_IN_PLAY;
    bool enabled = false;
    bool generated = false;
    bool counted = false;
    bool used = false;
};

// Counted in the table's balls in play: not lost, and not a template.
bool Counted(const MainBall& b) {
    return !b.Parked() && (b.generated || b.temp == 0);
}

int RankOf(const std::vector<KeptBall>& balls, const std::string& name) {
    int rank = 0;
    for (const KeptBall& k : balls)
        rank += !k.generated && k.name == name;
    return rank;
}

std::vector<KeptBall> KeepBalls(const Table& table) {
    std::vector<KeptBall> kept;
    for (int i = 0; i < table.ElementCount(); ++i) {
        const MainBall* b = dynamic_cast<const MainBall*>(table.Element(i));
        if (b == nullptr)
            continue;
        // A lost extra ball is already on its way out.
        if (b->generated && b->Parked())
            continue;
        KeptBall k;
        k.name = std::string(b->elementName.view());
        k.rank = b->generated ? 0 : RankOf(kept, k.name);
        k.position = b->position;
        k.velocity = b->velocity;
        k.state = b->state;
        k.enabled = b->Enabled();
        k.generated = b->generated;
        k.counted = Counted(*b);
        kept.push_back(k);
    }
    return kept;
}

void Restore(MainBall* b, const KeptBall& k) {
    b->position = k.position;
    b->velocity = k.velocity;
    b->state = k.state;
    b->SetEnabled(k.enabled);
}

// Whether the text loads without a word from the loader.
bool TryLoad(std::string_view text, const char* name, std::string* message) {
    GameRandomState scratch;
    GameRandomSwap own(&scratch);
    MessageCapture capture(true);
    Table trial(0);
    trial.LoadFromText(text.data(), int(text.size()), name, "");
    if (capture.Count() > 0) {
        *message = capture.Text(0);
        for (int i = 1; i < capture.Count(); ++i)
            *message += std::string("\n") + capture.Text(i);
        return false;
    }
    if (trial.ElementCount() == 0) {
        *message = std::string("'") + name + "' has no elements";
        return false;
    }
    return true;
}

}  // namespace

bool ReloadTableKeepingPlay(Table& table, std::string_view text, std::string* message) {
    const FixedString<260> path = table.tablePath.view();
    const FixedString<260> player = table.playerName.view();
    if (text.size() > (64u << 20)) {
        *message = std::string("'") + path.c_str() + "' is too large";
        return false;
    }
    if (!TryLoad(text, path.c_str(), message))
        return false;

    // What the game has come to.
    const std::int32_t score = table.score, currentBall = table.currentBallNumber;
    const std::int32_t tiltWarnings = table.tiltWarnings;
    const bool tiltMode = table.tiltMode, shake = table.shake;
    const float shakeTime = table.shakeTime;
    const bool lightShow = table.lightShow;
    const float lightShowTime = table.lightShowTime;
    const TableMessage* over = table.Message(MESSAGE_GAMEOVER);
    const bool gameOver = over && over->IsActive();
    std::int32_t ballsInPlay = table.ballsInPlay;
    std::vector<KeptBall> kept = KeepBalls(table);

    table.welcomePending = false;
    {
        MessageCapture capture(true);
        table.LoadFromText(text.data(), int(text.size()), path.c_str(), player.c_str());
    }

    table.score = score;
    table.currentBallNumber = currentBall;
    table.tiltWarnings = tiltWarnings;
    table.tiltMode = tiltMode;
    table.shake = shake;
    table.shakeTime = shakeTime;
    // A show that was over ends at the next update (which resets the new
    // elements, as the end of a show does); one still running goes on.
    table.lightShowTime = lightShow ? lightShowTime : 0.0f;
    if (TableMessage* m = table.Message(MESSAGE_GAMEOVER); m && gameOver)
        m->SetActive(true);

    std::vector<KeptBall> fresh;  // names of the new table's balls, for their ranks
    for (int i = 0; i < table.ElementCount(); ++i) {
        MainBall* b = dynamic_cast<MainBall*>(table.Element(i));
        if (b == nullptr || b->generated)
            continue;
        KeptBall key;
        key.name = std::string(b->elementName.view());
        key.rank = RankOf(fresh, key.name);
        fresh.push_back(key);
        auto match = std::find_if(kept.begin(), kept.end(), [&](const KeptBall& k) {
            return !k.generated && !k.used && k.name == key.name && k.rank == key.rank;
        });
        if (match == kept.end()) {
            ballsInPlay += Counted(*b) ? 1 : 0;
            continue;
        }
        match->used = true;
        Restore(b, *match);
    }
    MainBall* primary =
        table.BallCount() > 0 ? dynamic_cast<MainBall*>(table.Ball(0)->Object()) : nullptr;
    for (KeptBall& k : kept) {
        if (k.used)
            continue;
        if (k.generated && primary != nullptr && table.HasRoomForBall()) {
            std::unique_ptr<MainBall> copy = primary->MakeCopy();
            Restore(copy.get(), k);
            table.AppendElement(std::move(copy));
            continue;
        }
        ballsInPlay -= k.counted ? 1 : 0;
    }
    table.ballsInPlay = std::max(ballsInPlay, 0);
    return true;
}
