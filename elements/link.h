#pragma once

#include <cstdint>
#include <string>

#include "script/flist.h"
#include "table/table.h"
#include "table/table_object.h"

// One target of a link.
struct LinkTarget {
    std::int32_t current_only = 0;
    std::int32_t to = -1;
};

// The rule element: watches its `from` element and, when that raises its
// event or the link is activated, scores, activates or switches its targets,
// sets tres mode, passes the current token along its chain and asks the game
// screen for a named item. References are element-list indices.
class Link : public TableObject {
public:
    explicit Link(Table& table);
    ~Link() override;

    bool Load(const ScriptBlock& block) override;
    void Clear() override;
    void Save(std::string* out) override;
    void Activate() override { pending_activation = true; }
    void Step(float dt) override;
    void DrawEditor(Picture* surface) override;

    // `from` and every `to` in range; also what the table's revalidation uses.
    bool Validate();
    void MakeCurrent();
    // Indices above k move down by one (element k was removed).
    void RenumberAfterRemove(int k);
    void SwapIndices(int a, int b);

    // Keys.
    std::int32_t from = -1;
    std::int32_t next = -1;
    std::int32_t active_element = -1;
    std::int32_t scores = 0;
    std::int32_t big_scores = 0;
    std::int32_t can_activate_menu = 0;
    std::int32_t change_count = 0;
    std::int32_t change_step = 0;
    std::int32_t initially_current = 0;
    std::int32_t can_actmenu_whencurrent = 0;
    std::int32_t can_resetscores_wbc = 0;
    std::int32_t can_set_tres_mode = 0;
    std::int32_t tres_mode_act_count = 0;
    std::int32_t tres_scores = 0;
    float tres_time = 0.0f;
    std::int32_t ee_atstart = 0;
    std::int32_t ee_cando = 0;
    std::int32_t ee_invert = 0;
    float ee_time = 5.0f;
    std::int32_t sl_limit = 0;
    std::int32_t skip_events = 0;
    float time_to_sleep = 0.1f;
    float change_current_timeout = 0.0f;
    std::int32_t timeout_next = -1;
    flist<LinkTarget> targets;

    // Run-time state.
    bool valid = false;
    bool is_current = false;
    std::int32_t current_left = 0;
    float current_timer = 0.0f;
    std::int32_t score_mark = 0;
    // Read from and saved as `change_offset`.
    std::int32_t fire_count = 0;
    bool pending_activation = false;
    std::int32_t skip_left = 0;
    std::int32_t tres_count_left = 0;
    float sleep_left = 0.0f;
    bool ee_running = true;
    bool ee_started = false;
    float ee_left = 0.0f;

private:
    bool InRange(int index) const { return index >= 0 && index < table_.ElementCount(); }
    bool Applicable(const LinkTarget& t) const { return t.current_only == 0 || is_current; }
    void SwitchTargets(bool on);
    void Highlight(bool on);
    void PassTokenTo(int index);
    int PrimaryBallIndex();

    Table& table_;
    // Where the primary ball stood when last looked up; checked before use.
    int primaryBallIndex_ = -1;
};

// The table's link maintenance, applied to every link in list order.
// Validates each link and sets its enabled bit when valid; true when all are.
bool ValidateAllLinks(Table& table);
// After element k was removed: renumbers, then validates each link.
bool RenumberLinksAfterRemove(Table& table, int k);
// After elements a and b changed places: swaps, then validates each link.
bool SwapLinkIndices(Table& table, int a, int b);
