#include "table/table.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "input/control_binding.h"
#include "script/file_access.h"
#include "script/message.h"
#include "script/script_block.h"
#include "script/script_writer.h"
#include "script/zarnik_script.h"
#include "table/element_factory.h"
#include "table/game_random.h"
#include "table/scores.h"

namespace {

std::uint32_t MillisecondClock() {
    using namespace std::chrono;
    return std::uint32_t(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

}  // namespace

Table::Table() : Table(MillisecondClock()) {}

Table::Table(std::uint32_t seed) : seed_(seed) {
    SeedGameRandom(seed);
}

Table::~Table() {
    // Elements still reach the table (balls leave the ball list) while they go.
    while (elements_.Count > 0)
        DestroyElement(elements_.Count - 1);
}

namespace {

// A script may put an element anywhere; its pixel stays far outside any
// surface instead of overflowing the conversion.
int ToPixel(float v) {
    if (!(v > -1.0e8f))
        return -100000000;
    if (v > 1.0e8f)
        return 100000000;
    return int(v);
}

}  // namespace

int Table::ScreenX(float x) const {
    return ToPixel((float(screenRect.right) - float(screenRect.left)) * x + float(screenRect.left));
}

int Table::ScreenY(float y) const {
    return ToPixel((float(screenRect.bottom) - float(screenRect.top)) * y + float(screenRect.top));
}

void Table::SetScores(ScoresList* scores, const char* path) {
    scores_ = scores;
    scoresPath_ = path ? path : "";
}

int Table::IndexOf(const TableObject* object) const {
    if (object == nullptr)
        return -1;
    for (int i = 0; i < elements_.Count; ++i) {
        if (elements_.element[i].get() == object)
            return i;
    }
    return -1;
}

void Table::AppendElement(std::unique_ptr<TableObject> element) {
    if (element)
        elements_.Append(std::move(element));
    FormsChanged();
}

void Table::AddBall(TableBall* ball) {
    for (TableBall* b : balls_) {
        if (b == ball)
            return;
    }
    balls_.Append(ball);
}

void Table::RemoveBall(TableBall* ball) {
    for (int i = 0; i < balls_.Count; ++i) {
        if (balls_.element[i] == ball) {
            balls_.RemoveAt(i);
            return;
        }
    }
}

void Table::RegisterMessage(MessageSlot slot, TableObject* owner, TableMessage* message) {
    messages_[slot].owner = owner;
    messages_[slot].message = message;
}

bool Table::ControlDown(int index) const {
    return input_ != nullptr && index >= 0 && input_->Pressed(index) != 0;
}

bool Table::LeftHandlePressed() const {
    return input_ && ControlDown(input_->controls.leftHandle);
}
bool Table::RightHandlePressed() const {
    return input_ && ControlDown(input_->controls.rightHandle);
}
bool Table::SpringPressed() const {
    return input_ && ControlDown(input_->controls.spring);
}
bool Table::TiltPressed() const {
    return input_ && ControlDown(input_->controls.tilt);
}

void Table::DestroyElement(int index) {
    TableObject* gone = elements_.element[index].get();
    for (MessageRegistration& m : messages_) {
        if (m.owner == gone)
            m = MessageRegistration();
    }
    if (currentBall == gone)
        currentBall = nullptr;
    // Nobody may keep pointing at it: balls remember the forms they touched.
    for (int i = 0; i < elements_.Count; ++i) {
        TableObject* e = elements_.element[i].get();
        if (e->contact == gone)
            e->contact = nullptr;
        if (e->previousContact == gone)
            e->previousContact = nullptr;
    }
    elements_.element[index].reset();
    elements_.RemoveAt(index);
    FormsChanged();
}

bool Table::RemoveElement(int index) {
    if (index < 0 || index >= elements_.Count)
        return false;
    DestroyElement(index);
    // A queued index is a promise about one element: it goes with that
    // element and follows it when it moves down.
    int kept = 0;
    for (int k = 0; k < removalQueue_.Count; ++k) {
        std::int32_t q = removalQueue_.element[k];
        if (q == index)
            continue;
        removalQueue_.element[kept++] = q > index ? q - 1 : q;
    }
    removalQueue_.Count = kept;
    return true;
}

bool Table::SwapElements(int a, int b) {
    if (a < 0 || b < 0 || a >= elements_.Count || b >= elements_.Count)
        return false;
    std::swap(elements_.element[a], elements_.element[b]);
    FormsChanged();
    for (std::int32_t& q : removalQueue_) {
        if (q == a)
            q = b;
        else if (q == b)
            q = a;
    }
    return true;
}

bool Table::Clear() {
    if (loaded && scores_ != nullptr) {
        scores_->Record(playerName.c_str(), tablePath.c_str(), score);
        scores_->Write(scoresPath_.c_str());
    }
    while (elements_.Count > 0)
        DestroyElement(elements_.Count - 1);
    elements_.Clear();
    FormsChanged();
    balls_.Clear();
    removalQueue_.Clear();
    for (MessageRegistration& m : messages_)
        m = MessageRegistration();
    currentBall = nullptr;
    tiltWarnings = 0;
    tiltMode = false;
    loaded = false;
    return true;
}

void Table::BeginLoad(const char* path, const char* player) {
    if (loaded)
        Clear();
    ballsInPlay = 0;
    playerName = player ? player : "";
    tablePath = path ? path : "";
    score = 0;
    currentBallNumber = 1;
    shake = false;
    shakeTime = 0.0f;
    // A table without settings blocks gets the defaults, not the last table's.
    screenRect = ScreenRect();
    ball_count = 10;
}

void Table::FinishLoad() {
    RunTableLoadedHook(*this);
    loaded = true;
    lightShow = true;
    lightShowTime = kLightShowTime;
    TableMessage* welcome = Message(MESSAGE_WELCOME);
    if (welcomePending) {
        welcomePending = false;
        if (welcome)
            welcome->SetActive(true);
    } else if (welcome) {
        welcome->SetActive(false);
    }
}

bool Table::Load(const char* path, const char* player, TableLoadObserver* observer) {
    BeginLoad(path, player);
    {
        ZarnikScr scr(tablePath.c_str());
        LoadScript(scr, observer);
    }
    FinishLoad();
    return loaded;
}

bool Table::LoadFromText(const char* text, int size, const char* name, const char* player) {
    BeginLoad(name, player);
    {
        ZarnikScr scr(text, size);
        LoadScript(scr, nullptr);
    }
    FinishLoad();
    return loaded;
}

void Table::LoadScript(const ZarnikScr& scr, TableLoadObserver* observer) {
    const ScriptBlock whole = WholeScript(scr);
    std::uint32_t previous = MillisecondClock();
    if (observer)
        observer->LoadStarted();
    int ballsLeftOut = 0;
    ForEachStatement(whole, [&](int i) {
        int id = MatchSubBlock(whole, kBlockKeywords, i);
        if (id == BLOCK_MAIN_BALL && !HasRoomForBall()) {
            ++ballsLeftOut;
            id = -1;
        }
        if (id >= 0) {
            const ScriptBlock sub = SubBlock(whole, i + 1);
            if (id == BLOCK_SCREEN_RECT) {
                ReadKeys(sub, {KeyDef::Int("left", &screenRect.left),
                               KeyDef::Int("right", &screenRect.right),
                               KeyDef::Int("top", &screenRect.top),
                               KeyDef::Int("bottom", &screenRect.bottom)});
            } else if (id == BLOCK_TABLE_SETTINGS) {
                ReadKeys(sub, {KeyDef::Int("ball_count", &ball_count)});
            } else if (std::unique_ptr<TableObject> element = CreateElement(id, *this)) {
                if (element->Load(sub)) {
                    elements_.Append(std::move(element));
                    FormsChanged();
                } else {
                    ReportMessage("failed to load object");
                }
            }
        }
        const std::uint32_t now = MillisecondClock();
        if (observer)
            observer->StatementRead(float(now - previous) * 0.001f);
        previous = now;
    });
    if (ballsLeftOut > 0)
        ReportMessage("%d balls left out: a table holds at most %d balls", ballsLeftOut, kMaxBalls);
    if (observer)
        observer->LoadFinished();
}

bool Table::SaveText(std::string* out) const {
    if (!loaded)
        return false;
    AppendFormat(
        out, "ScreenRect{\r\n left = %d;\r\n right = %d;\r\n top = %d;\r\n bottom = %d;\r\n};;\r\n",
        screenRect.left, screenRect.right, screenRect.top, screenRect.bottom);
    AppendFormat(out, "TableSettings{\r\n ball_count = %d;\r\n};;\r\n", ball_count);
    // The text grows as needed: an element may write any amount.
    for (int i = 0; i < elements_.Count; ++i)
        elements_.element[i]->Save(out);
    return true;
}

bool Table::Save(const char* path) const {
    std::string text;
    if (!SaveText(&text))
        return false;
    std::FILE* f = OpenLooseFile(path, "wb");
    if (f == nullptr)
        return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
    const bool closed = std::fclose(f) == 0;
    return written && closed;
}

void Table::ProcessRemovals() {
    if (removalQueue_.Count == 0)
        return;
    std::sort(removalQueue_.begin(), removalQueue_.end(),
              [](std::int32_t a, std::int32_t b) { return std::uint32_t(a) > std::uint32_t(b); });
    std::int32_t last = -1;
    for (int k = 0; k < removalQueue_.Count; ++k) {
        const std::int32_t index = removalQueue_.element[k];
        // An index queued twice names one element; the second would take its neighbour.
        if (index == last)
            continue;
        last = index;
        if (index >= 0 && index < elements_.Count)
            DestroyElement(index);
    }
    removalQueue_.Count = 0;
}

bool Table::StepLightShow(float dt) {
    if (!lightShow)
        return false;
    lightShowTime -= dt;
    if (lightShowTime <= 0.0f) {
        lightShow = false;
        for (int i = elements_.Count - 1; i >= 0; --i) {
            TableObject* e = elements_.element[i].get();
            if (e->Enabled())
                e->Reset();
        }
        // Sprites that ended a pass during the show raised their events; the
        // links never saw them, and the game must not start by firing them.
        for (int i = 0; i < elements_.Count; ++i)
            elements_.element[i]->event_flag = 0;
        return true;
    }
    for (int i = elements_.Count - 1; i >= 0; --i) {
        TableObject* e = elements_.element[i].get();
        if (!e->Enabled())
            continue;
        int chance = 0;
        if (e->type == ELEMENT_STATIC_SPRITE)
            chance = 27;
        if (e->type == ELEMENT_SWITCH)
            chance = 64;
        if (e->type == ELEMENT_TSWITCH)
            chance = 32;
        if (chance == 0)
            continue;
        if (GameRandom() % chance == 0)
            e->Activate();
        e->Step(dt);
    }
    return true;
}

void Table::TiltCheck(float dt) {
    if (TiltPressed() && !tiltMode && !shake) {
        shakeTime = kShakeTime;
        shake = true;
        ++tiltWarnings;
        TableMessage* next = Message(MESSAGE_NEXTBALL);
        if (tiltWarnings == 2 && next) {
            next->SetActive(true);
            next->ShowMessage("Warning! Don't press tilt anymore!");
        } else if (tiltWarnings == 3) {
            if (next) {
                next->SetActive(true);
                next->ShowMessage("You've been warned! Tilt mode!!!");
            }
            tiltMode = true;
        }
        for (int i = elements_.Count - 1; i >= 0; --i) {
            TableObject* e = elements_.element[i].get();
            if (e->type != ELEMENT_BALL || !e->Enabled())
                continue;
            TableBall* ball = dynamic_cast<TableBall*>(e);
            if (ball == nullptr)
                continue;
            const float dvx = (GameRandom() & 1) ? kJolt : -kJolt;
            const float dvy = (GameRandom() & 1) ? kJolt : -kJolt;
            ball->Jolt(dvx, dvy);
        }
    }
    if (shake) {
        shakeTime -= dt;
        if (shakeTime <= 0.0f)
            shake = false;
    }
}

void Table::WelcomeCheck() {
    TableMessage* welcome = Message(MESSAGE_WELCOME);
    if (welcome == nullptr || welcome->IsActive() || welcome->LineCount() < 1)
        return;
    // 20 in 32768.
    if (GameRandom() < 20) {
        welcome->SetActive(true);
        welcome->ShowLine(GameRandom() % welcome->LineCount());
    }
}

void Table::Update(GameScreenLink* screen, float dt) {
    ProcessRemovals();
    if (StepLightShow(dt))
        return;
    TiltCheck(dt);
    WelcomeCheck();
    for (int i = elements_.Count - 1; i >= 0; --i) {
        TableObject* e = elements_.element[i].get();
        if (e->type != ELEMENT_LINK && e->Enabled())
            e->Step(dt);
    }
    for (int i = elements_.Count - 1; i >= 0; --i) {
        TableObject* e = elements_.element[i].get();
        if (e->type != ELEMENT_LINK || !e->Enabled())
            continue;
        e->Step(dt);
        if (e->menu_request) {
            if (screen)
                screen->ShowItem(e->name.c_str());
            e->menu_request = 0;
        }
    }
    for (int i = 0; i < elements_.Count; ++i)
        elements_.element[i]->event_flag = 0;
}

void Table::ShakeOffset(int* x, int* y) const {
    *x = *y = 0;
    if (shake) {
        *x = int(2.0f * std::sin(shakeTime * 62.83186f));
        *y = int(std::cos(shakeTime * 15.707965f));
    }
}

int Table::CoveredAreas(PixelArea* out, int max) const {
    int offsetX = 0, offsetY = 0;
    ShakeOffset(&offsetX, &offsetY);
    int n = 0;
    for (int i = 0; i < elements_.Count && n < max; ++i) {
        const TableObject* e = elements_.element[i].get();
        // Draw passes over disabled elements (balls are drawn by their own rule).
        if (e->type != ELEMENT_BALL && e->Enabled() && e->CoveredArea(offsetX, offsetY, &out[n]))
            ++n;
    }
    return n;
}

void Table::Draw(Picture* target) {
    int offsetX = 0, offsetY = 0;
    ShakeOffset(&offsetX, &offsetY);
    int i = elements_.Count - 1;
    // Trailing ball entries are passed over; the balls are drawn together once,
    // at the foremost ball entry. Drawing them again at every ball entry would
    // refract each glass ball through itself, and cost balls x entries draws.
    while (i >= 0 && elements_.element[i]->type == ELEMENT_BALL)
        --i;
    int front = 0;
    while (front < i && elements_.element[front]->type != ELEMENT_BALL)
        ++front;
    for (; i >= 0; --i) {
        TableObject* e = elements_.element[i].get();
        if (e->type == ELEMENT_BALL) {
            if (i != front)
                continue;
            for (int b = balls_.Count - 1; b >= 0; --b) {
                TableObject* ball = balls_.element[b]->Object();
                if (ball->Enabled())
                    ball->Draw(target, offsetX, offsetY);
            }
        } else if (e->Enabled()) {
            e->Draw(target, offsetX, offsetY);
        }
    }
}
