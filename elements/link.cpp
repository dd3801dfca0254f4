#include "elements/link.h"

#include <cstdint>

#include "elements/element_common.h"
#include "script/script_block.h"
#include "script/script_writer.h"

namespace {

const SubBlockDef kLinkSubBlocks[] = {{"To", 0}, {nullptr, 0}};

void RenumberOne(std::int32_t* index, int k) {
    if (*index > k)
        *index -= 1;
}

// Script values may be anything: counters and the score wrap rather than
// overflow.
void AddPoints(std::int32_t* score, std::int32_t points) {
    *score = std::int32_t(std::uint32_t(*score) + std::uint32_t(points));
}

// Decreases a counter; true when it is then below 1.
bool CountDown(std::int32_t* counter) {
    if (*counter > INT32_MIN)
        --*counter;
    return *counter < 1;
}

void SwapOne(std::int32_t* index, int a, int b) {
    if (*index == a)
        *index = b;
    else if (*index == b)
        *index = a;
}

}  // namespace

Link::Link(Table& table) : table_(table) {
    type = ELEMENT_LINK;
}

Link::~Link() {
    Link::Clear();
}

bool Link::Load(const ScriptBlock& block) {
    Clear();
    ReadKeys(block, {KeyDef::Int("from", &from),
                     KeyDef::Int("next", &next),
                     KeyDef::Int("active_element", &active_element),
                     KeyDef::Int("scores", &scores),
                     KeyDef::Int("big_scores", &big_scores),
                     KeyDef::Int("can_activate_menu", &can_activate_menu),
                     KeyDef::Word("menu_name", &name),
                     KeyDef::Int("change_count", &change_count),
                     KeyDef::Int("change_step", &change_step),
                     KeyDef::Int("change_offset", &fire_count),
                     KeyDef::Int("initially_current", &initially_current),
                     KeyDef::Int("can_actmenu_whencurrent", &can_actmenu_whencurrent),
                     KeyDef::Int("can_resetscores_wbc", &can_resetscores_wbc),
                     KeyDef::Int("can_set_tres_mode", &can_set_tres_mode),
                     KeyDef::Int("tres_mode_act_count", &tres_mode_act_count),
                     KeyDef::Int("tres_scores", &tres_scores),
                     KeyDef::Real("tres_time", &tres_time),
                     KeyDef::Int("ee_atstart", &ee_atstart),
                     KeyDef::Int("ee_cando", &ee_cando),
                     KeyDef::Int("ee_invert", &ee_invert),
                     KeyDef::Real("ee_time", &ee_time),
                     KeyDef::Int("sl_limit", &sl_limit),
                     KeyDef::Int("skip_events", &skip_events),
                     KeyDef::Real("time_to_sleep", &time_to_sleep),
                     KeyDef::Real("change_current_timeout", &change_current_timeout),
                     KeyDef::Int("timeout_next", &timeout_next)});
    ForEachSubBlock(block, kLinkSubBlocks, [&](int, const ScriptBlock& sub, int) {
        LinkTarget t;
        ReadKeys(sub, {KeyDef::Int("current_only", &t.current_only), KeyDef::Int("to", &t.to)});
        targets.Append(t);
    });
    SetEnabled(Validate());
    skip_left = skip_events;
    tres_count_left = tres_mode_act_count;
    ee_left = ee_time;
    ee_running = true;
    ee_started = false;
    if (initially_current != 0)
        MakeCurrent();
    return true;
}

void Link::Clear() {
    targets.Clear();
    valid = false;
}

void Link::Save(std::string* out) {
    AppendFormat(
        out,
        "Link {\r\n from = %d;\r\n next = %d;\r\n active_element = %d;\r\n scores = %d;\r\n"
        " big_scores = %d;\r\n can_activate_menu = %d;\r\n"
        " can_actmenu_whencurrent = %d;\r\n can_resetscores_wbc = %d;\r\n"
        " change_count = %d;\r\n change_step = %d;\r\n change_offset = %d;\r\n"
        " initially_current = %d;\r\n time_to_sleep = %.3f;\r\n menu_name = \"%s\";\r\n"
        " can_set_tres_mode = %d;\r\n tres_mode_act_count = %d;\r\n tres_scores = %d;\r\n"
        " tres_time = %.3f;\r\n ee_atstart = %d;\r\n ee_cando = %d;\r\n ee_invert = %d;\r\n"
        " ee_time = %.3f;\r\n sl_limit = %d;\r\n skip_events = %d;\r\n"
        " change_current_timeout = %.3f;\r\n timeout_next = %d;\r\n",
        from, next, active_element, scores, big_scores, can_activate_menu, can_actmenu_whencurrent,
        can_resetscores_wbc, change_count, change_step, fire_count, initially_current,
        double(time_to_sleep), name.c_str(), can_set_tres_mode, tres_mode_act_count, tres_scores,
        double(tres_time), ee_atstart, ee_cando, ee_invert, double(ee_time), sl_limit, skip_events,
        double(change_current_timeout), timeout_next);
    for (const LinkTarget& t : targets)
        AppendFormat(out, " To { current_only = %d; to = %d; };\r\n", t.current_only, t.to);
    out->append("};;\r\n");
}

bool Link::Validate() {
    valid = InRange(from);
    for (const LinkTarget& t : targets)
        valid = valid && InRange(t.to);
    return valid;
}

void Link::MakeCurrent() {
    current_left = change_count;
    current_timer = change_current_timeout;
    is_current = true;
    event_flag = 1;
    score_mark = table_.score;
    if (can_actmenu_whencurrent != 0)
        menu_request = 1;
    if (can_resetscores_wbc != 0) {
        table_.score = 0;
        score_mark = 0;
    }
}

void Link::RenumberAfterRemove(int k) {
    RenumberOne(&from, k);
    RenumberOne(&next, k);
    RenumberOne(&active_element, k);
    RenumberOne(&timeout_next, k);
    for (LinkTarget& t : targets)
        RenumberOne(&t.to, k);
}

void Link::SwapIndices(int a, int b) {
    SwapOne(&from, a, b);
    SwapOne(&next, a, b);
    SwapOne(&active_element, a, b);
    SwapOne(&timeout_next, a, b);
    for (LinkTarget& t : targets)
        SwapOne(&t.to, a, b);
}

int Link::PrimaryBallIndex() {
    if (table_.BallCount() < 1)
        return -1;
    const TableObject* primary = table_.Ball(0)->Object();
    if (table_.Element(primaryBallIndex_) != primary)
        primaryBallIndex_ = table_.IndexOf(primary);
    return primaryBallIndex_;
}

void Link::SwitchTargets(bool on) {
    for (const LinkTarget& t : targets) {
        TableObject* e = table_.Element(t.to);
        if (e != nullptr && Applicable(t))
            e->SetEnabled(on);
    }
}

void Link::Highlight(bool on) {
    if (TableObject* e = table_.Element(active_element))
        e->SetHighlight(on);
}

void Link::PassTokenTo(int index) {
    if (Link* link = dynamic_cast<Link*>(table_.Element(index)))
        link->MakeCurrent();
}

void Link::Step(float dt) {
    if (!valid)
        return;
    // The list may have changed since validation (lost extra balls go), so
    // every index is looked up through the range-checked accessor.
    TableObject* source = table_.Element(from);
    if (source == nullptr)
        return;

    ball_index = source->ball_index;
    if (ball_index < 0)
        ball_index = PrimaryBallIndex();
    for (const LinkTarget& t : targets) {
        if (TableObject* e = table_.Element(t.to))
            e->ball_index = ball_index;
    }

    if (is_current) {
        Highlight(true);
        if (InRange(timeout_next)) {
            current_timer -= dt;
            if (current_timer <= 0.0f) {
                is_current = false;
                Highlight(false);
                PassTokenTo(timeout_next);
            }
        }
    }

    if (ee_cando != 0) {
        if (!ee_started && ee_atstart != 0) {
            ee_started = true;
            ee_left = 0.0f;
            ee_running = false;
            SwitchTargets(ee_invert != 0);
        } else if (ee_running) {
            ee_left -= dt;
            if (ee_left <= 0.0f) {
                ee_running = false;
                SwitchTargets(ee_invert != 0);
            }
        }
    }

    sleep_left -= dt;
    if (!(sleep_left <= 0.0f))
        return;
    if (!pending_activation && !source->event_flag)
        return;
    if (!CountDown(&skip_left))
        return;

    skip_left = skip_events;
    event_flag = 1;
    if (TableProbe* probe = table_.Probe())
        probe->LinkFired(*this);
    pending_activation = false;
    sleep_left = time_to_sleep;

    if (can_set_tres_mode == 0) {
        if (!tres_mode) {
            AddPoints(&table_.score, is_current ? big_scores : scores);
        } else {
            tres_time_left -= dt;
            blink_timer -= dt;
            if (tres_time_left <= 0.0f)
                tres_mode = 0;
            if (blink_timer <= 0.0f)
                DrawBlink(this);
            AddPoints(&table_.score, tres_scores);
        }

        if (ee_cando == 0) {
            for (const LinkTarget& t : targets) {
                TableObject* e = table_.Element(t.to);
                if (e != nullptr && Applicable(t) && e->Enabled())
                    e->Activate();
            }
        } else {
            ee_running = true;
            ee_left = ee_time;
            SwitchTargets(ee_invert == 0);
        }

        if (is_current) {
            const bool stepOk = change_step < 1 || fire_count % change_step == 0;
            const bool scoreOk =
                sl_limit < 1 || std::int64_t(table_.score) - score_mark >= sl_limit;
            if (stepOk && scoreOk && CountDown(&current_left)) {
                is_current = false;
                if (InRange(next)) {
                    Highlight(false);
                    PassTokenTo(next);
                }
            }
        }
        if (change_step >= 1)
            AddPoints(&fire_count, 1);
        if (can_activate_menu != 0)
            menu_request = 1;
    } else {
        if (CountDown(&tres_count_left)) {
            tres_count_left = tres_mode_act_count;
            for (const LinkTarget& t : targets) {
                if (TableObject* e = table_.Element(t.to)) {
                    e->tres_time_left = tres_time;
                    e->tres_mode = 1;
                    DrawBlink(e);
                }
            }
        }
    }
}

void Link::DrawEditor(Picture* surface) {
    if (!valid)
        return;
    TableObject* source = table_.Element(from);
    int fx = 0, fy = 0;
    if (source == nullptr || !source->GetAnchor(&fx, &fy))
        return;
    source->DrawEditor(surface);
    for (const LinkTarget& t : targets) {
        TableObject* e = table_.Element(t.to);
        int tx = 0, ty = 0;
        if (e != nullptr && e->GetAnchor(&tx, &ty))
            DrawEditorLine(surface, fx, fy, tx, ty);
    }
}

namespace {

template <typename Fn>
bool ForEachLink(Table& table, Fn&& fn) {
    bool all = true;
    for (int i = 0; i < table.ElementCount(); ++i) {
        TableObject* e = table.Element(i);
        if (e->type != ELEMENT_LINK)
            continue;
        Link* link = dynamic_cast<Link*>(e);
        if (link == nullptr)
            continue;
        fn(link);
        if (link->Validate())
            link->SetEnabled(true);
        else
            all = false;
    }
    return all;
}

}  // namespace

bool ValidateAllLinks(Table& table) {
    return ForEachLink(table, [](Link*) {});
}

bool RenumberLinksAfterRemove(Table& table, int k) {
    ForEachLink(table, [k](Link* link) { link->RenumberAfterRemove(k); });
    return true;
}

bool SwapLinkIndices(Table& table, int a, int b) {
    ForEachLink(table, [a, b](Link* link) { link->SwapIndices(a, b); });
    return true;
}
