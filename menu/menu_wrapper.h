#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "menu/menu_navigation.h"
#include "script/fixed_string.h"
#include "script/flist.h"

class InputManager;
class Picture;
class MenuWrapper;
struct ScriptBlock;

// What the program does when a control of that name is clicked; the index
// in the action table (names compared with case).
enum MenuAction : int {
    ACTION_NONE = 0,
    ACTION_START = 1,
    ACTION_EXIT = 2,
    ACTION_DEACTIVATEMENU = 3,
    ACTION_FULLSCREEN = 4,
    ACTION_TRUECOLOR = 5,
    ACTION_AUDIOVOLUME = 6,
    ACTION_NEXTGAME = 7,
    ACTION_PREVGAME = 8,
    ACTION_GAMESELECTOR = 9,
};
inline constexpr int kMenuActionCount = 10;
// "" for 0, then "START" ... "GAMESELECTOR".
extern const char* const kMenuActionNames[kMenuActionCount];
int MenuActionFromName(std::string_view name);

// Class numbers of the class table; the block name of a control.
enum MenuClass : int {
    MENU_NONE = 0,
    MENU_WRAPPER = 1,
    MENU_PICTURE = 2,
    MENU_ANIMATION = 3,
    MENU_BUTTON = 4,
    MENU_SLIDER = 5,
    MENU_SWITCH = 6,
    MENU_MSGWINDOW = 7,
    MENU_EDITCONTROL = 8,
    MENU_ROUNDSLIDER = 9,
    MENU_GETCONTROL = 10,
    MENU_SWITCHBUTTON = 11,
};
struct MenuClassDef {
    const char* name;
    int number;
};
// Eleven pairs, ended by {nullptr, 0}.
extern const MenuClassDef kMenuClasses[12];
// The class number of a block name (case counts), 0 for none.
int MenuClassFromName(std::string_view name);
// A new control of that class under `parent`, or nullptr for an unknown number.
std::unique_ptr<MenuWrapper> CreateMenuControl(int classNumber, MenuWrapper* parent);

// Parts of a control's save.
enum : unsigned {
    SAVE_OPEN = 1,      // "Class {" and one more tab of indent
    SAVE_CLOSE = 2,     // one tab less, "};"
    SAVE_CHILDREN = 4,  // every child, whole
    SAVE_KEYS = 8,      // the common keys (and a derived control's own)
    SAVE_ALL = 15,
};

// The XOR outline of the editing tools (drawing it twice removes it). The
// rectangle is held to just outside the target, which leaves every visible
// pixel as it was and keeps script extremes from overflowing or walking
// billions of pixels off screen.
void DrawMenuOutline(Picture* target, std::int64_t left, std::int64_t top, std::int64_t right,
                     std::int64_t bottom);

// What a menu script may build; the rest of a hostile script is skipped.
inline constexpr int kMenuMaxDepth = 48;        // controls nested in controls
inline constexpr int kMenuMaxChildren = 1024;   // children of one control
inline constexpr int kMenuMaxControls = 16384;  // controls of one read of a root
inline constexpr int kMenuMaxFrames = 2048;     // frames of one animation, slider or caret
inline constexpr int kMenuMaxLines = 256;       // lines of a message window
// Positions and sizes are held to +-2^20 pixels: far off any screen, and sums
// down a chain of controls stay far from overflow.
inline constexpr std::int32_t kMenuMaxCoord = 1 << 20;
void HoldCoords(std::initializer_list<std::int32_t*> values);

// Base of every menu control and itself a group: a position relative to its
// parent, a name (the key of lookups and of the action), a hint, children.
// The tree is stepped and drawn along its open (active) branches only.
//   MenuSystem& m = Menus();  m.LoadRoot("data\\menu\\main.script");
//   m.root->Activate();  each frame: m.pointerX = ...; m.root->Update(dt);
//   m.root->Draw(back, 0, 0);  if (MenuWrapper* c = m.TakeLastClicked()) act on c->action;
class MenuWrapper {
public:
    explicit MenuWrapper(MenuWrapper* parent = nullptr);
    virtual ~MenuWrapper();
    MenuWrapper(const MenuWrapper&) = delete;
    MenuWrapper& operator=(const MenuWrapper&) = delete;

    // The control's value of each kind, or nullptr when it has none.
    virtual float* FloatValue() { return nullptr; }
    virtual std::int32_t* IntValue() { return nullptr; }
    virtual FixedString<256>* StringValue() { return nullptr; }
    // Starts an animation of `frames` frames; false when refused.
    virtual bool Play(int frames, bool forward);
    // 0 = show the current state again, 1 = next, 2 = previous (switches).
    virtual void Step(int direction);
    // Deletes every child, last to first.
    virtual void Clear();
    // The block's keys and nested controls; false when required keys are missing.
    virtual bool Read(const ScriptBlock& block);
    // Clears, then reads the first block of the script file.
    virtual bool Load(const char* fileName);
    virtual void Update(float dt);
    virtual void Draw(Picture* target, int x, int y);
    // Editing: the arrow keys move the control by one pixel per call.
    virtual void EditMove();
    virtual void EditDraw(Picture* target, int x, int y);
    // Opens this control and every ancestor.
    virtual void Activate(MenuWrapper* child = nullptr);
    // Appends the control as script text; `indent` gains and loses a tab.
    virtual bool Save(std::string* out, std::string* indent, unsigned parts = SAVE_ALL);
    // Closes this control and all its descendants; drops the parent's focus on it.
    virtual void Deactivate();
    virtual void HoverOn();
    virtual void HoverOff();
    // A copy under the same parent moved by (dx, dy); nullptr for most classes.
    virtual MenuWrapper* Duplicate(int dx, int dy);

    // --- lookups by name: this control, then the children from the last to
    // the first, each with its whole subtree ---
    MenuWrapper* Find(std::string_view name);
    bool GetInt(std::string_view name, std::int32_t* out);
    bool GetFloat(std::string_view name, float* out);
    bool GetString(std::string_view name, FixedString<256>* out);
    bool SetInt(std::string_view name, std::int32_t value);
    bool SetFloat(std::string_view name, float value);
    bool SetString(std::string_view name, std::string_view value);
    // The first control of that name whose play accepts.
    bool PlayByName(std::string_view name, int frames, bool forward);

    int ChildCount() const { return children.Count; }
    MenuWrapper* Child(int i) const {
        return i >= 0 && i < children.Count ? children.element[i].get() : nullptr;
    }
    int IndexOf(const MenuWrapper* child) const;
    // Sum of x and y over this control and its ancestors.
    void AbsolutePosition(int* ax, int* ay) const;
    // Open, and every ancestor open too.
    bool IsShown() const;
    int ClassNumber() const { return classNumber; }
    int Depth() const { return depth; }

    std::int32_t x = 0, y = 0;
    FixedString<32> name;
    FixedString<32> className{"MenuWrapper"};
    FixedString<256> hint;
    MenuWrapper* parent = nullptr;
    flist<std::unique_ptr<MenuWrapper>> children;  // owned, in script order
    std::int32_t action = ACTION_NONE;
    std::int32_t focused = -1;  // the child open alone, -1 for none
    bool active = false;
    bool hovered = false;
    std::int32_t cascade = 0;  // step and draw all children even while one is focused

protected:
    // Routes update and draw: all children (last to first) with cascade or
    // without a focused child, else only the focused one.
    void UpdateChildren(float dt);
    void DrawChildren(Picture* target, int x, int y);
    // Opens child `index` alone: the previous focused child is closed (flag
    // only), the child opened and its switches reset, focused = index.
    void OpenChild(int index);
    // Latch cleared, step 0, latch cleared, for every MenuSwitch child.
    void ResetSwitchChildren();
    // Sets the text of the control named "HINT" under `from`.
    static void SetHintText(MenuWrapper* from, std::string_view text);
    void HoverOnWith(MenuWrapper* hintOwner);
    void HoverOffWith(MenuWrapper* hintOwner);
    // Sum of x and y over the ancestors only, as they stand now.
    void ParentChainPosition(std::int32_t* px, std::int32_t* py) const;

    int classNumber = MENU_WRAPPER;
    int depth = 0;  // ancestors above this control

private:
    template <typename Pred>
    MenuWrapper* FindIf(std::string_view name, Pred&& pred);
    void ReadNestedControl(const ScriptBlock& block, int classNumber, int brace);
};

// The menu system's process-wide state in one place, so the program sets it
// each frame and tests reset it.
class MenuSystem {
public:
    MenuSystem() = default;
    // The tree goes first: its controls clear the pointers below as they go.
    ~MenuSystem() { root.reset(); }
    MenuSystem(const MenuSystem&) = delete;
    MenuSystem& operator=(const MenuSystem&) = delete;

    // A new root MenuWrapper loaded from a menu script.
    bool LoadRoot(const char* fileName);
    // A new root read from a block (the body of a menu script's first block).
    bool ReadRoot(const ScriptBlock& block);

    // The control clicked last (nullptr when none); clears it.
    MenuWrapper* TakeLastClicked();

    bool PointerIn(int tx, int ty, int tw, int th) const;
    // Keyboard and right button through the input manager; up without one.
    bool KeyDown(int scanCode) const;
    bool RightButtonDown() const;

    // Lookups by name on the root; false / nullptr without a root.
    MenuWrapper* Find(std::string_view name);
    bool GetInt(std::string_view name, std::int32_t* out);
    bool GetFloat(std::string_view name, float* out);
    bool GetString(std::string_view name, FixedString<256>* out);
    bool SetInt(std::string_view name, std::int32_t value);
    bool SetFloat(std::string_view name, float value);
    bool SetString(std::string_view name, std::string_view value);
    bool PlayByName(std::string_view name, int frames, bool forward);

    // Deletes the tree and puts every field back to its start value.
    void Reset();

    std::unique_ptr<MenuWrapper> root;
    MenuWrapper* hintControl = nullptr;  // the control whose hint is shown
    MenuWrapper* lastClicked = nullptr;  // taken and cleared by the program
    // Written by the program every frame: pointer in client (back-surface)
    // pixels and the left button.
    int pointerX = 0, pointerY = 0;
    bool leftButton = false;
    // While clear, a DEACTIVATEMENU button of a top-level menu ignores the
    // pointer. It starts set and nothing clears it.
    bool deactivateMenuEnabled = true;
    // Key states and the right button; not owned.
    const InputManager* input = nullptr;
    // Controls the read of the current root may still build.
    int readBudget = kMenuMaxControls;
    // The menus driven by keys and pads.
    MenuNavigator navigator;
};

MenuSystem& Menus();
