// A generated table run by the headless runner from the build folder, with
// its elements found by the names the generator writes beside their indices.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "elements/table_elements.h"
#include "physics/collision_form.h"
#include "physics/main_ball.h"
#include "physics/physics_elements.h"
#include "tests/test_files.h"
#include "tools/zarnik-sim/sim_report.h"
#include "tools/zarnik-sim/sim_runner.h"

// The game screen as the tests see it: the names the table asked to show.
struct ShownItems : GameScreenLink {
    void ShowItem(const char* name) override { names.push_back(name); }
    bool Shown(const std::string& name) const {
        return std::find(names.begin(), names.end(), name) != names.end();
    }
    std::vector<std::string> names;
};

class TableFixture : public ::testing::Test {
protected:
    static constexpr float kDt = 0.01f;

    void TearDown() override {
        if (!oldDir_.empty())
            std::filesystem::current_path(oldDir_);
    }

    // Loads table `number` and lets the light show after loading pass.
    void Start(int number, const std::string& recording = "") {
        oldDir_ = std::filesystem::current_path();
        std::filesystem::current_path(ZARNIK_BINARY_DIR);
        char name[32];
        std::snprintf(name, sizeof name, "t%04d", number);
        ReadNames(std::string("data/tables/") + name + ".script");
        std::string error;
        ASSERT_TRUE(ReadOutlineFile(std::string(name) + ".outline", &outline_, &error)) << error;
        RegisterPhysicsElements();
        RegisterTableElements();
        SimOptions options;
        options.table = std::string("data\\tables\\") + name + ".script";
        options.dt = kDt;
        options.inputFile = recording;
        bool started = false;
        const std::string log = LogAddedBy([&] { started = sim_.Start(options, &error); });
        ASSERT_TRUE(started) << error;
        EXPECT_EQ(log, "") << "every picture, frame and sound the table names is there";
        ASSERT_GT(sim_.table().ElementCount(), Index("plunger"));
        Frames(int(2.1f / kDt));
    }

    void ReadNames(const std::string& path) {
        std::ifstream in(path);
        std::string line;
        while (std::getline(in, line)) {
            int index = 0;
            char name[64] = {};
            if (std::sscanf(line.c_str(), "// %d %63[^\r]", &index, name) == 2)
                names_[name] = index;
        }
        ASSERT_GT(names_.size(), 50u) << path;
    }
    int Index(const std::string& name) {
        auto it = names_.find(name);
        EXPECT_NE(it, names_.end()) << name;
        return it == names_.end() ? -1 : it->second;
    }
    TableObject* Element(const std::string& name) { return sim_.table().Element(Index(name)); }
    CollisionForm* Form(const std::string& name) {
        return static_cast<CollisionForm*>(Element(name));
    }
    // The middle of a form's vertices: a bumper's or a target's centre.
    Vec2 Centre(const std::string& name) {
        const CollisionForm* f = Form(name);
        Vec2 c{0.0f, 0.0f};
        for (int i = 0; i < f->VertexCount(); ++i) {
            c.x += f->Vertex(i).x / float(f->VertexCount());
            c.y += f->Vertex(i).y / float(f->VertexCount());
        }
        return c;
    }
    MainBall& Ball(int i = 0) { return *static_cast<MainBall*>(sim_.table().Ball(i)->Object()); }
    void Frames(int n) {
        for (int i = 0; i < n; ++i) {
            sim_.input().Poll();
            sim_.table().Update(&shown_, kDt);
        }
    }
    void Place(float x, float y, float vx, float vy) {
        MainBall& b = Ball();
        b.position = {x, y};
        b.velocity = {vx, vy};
        b.state = BALL_IN_PLAY;
        b.SetEnabled(true);
        sim_.table().ballsInPlay = 1;
    }
    int Score() { return sim_.table().score; }
    static bool InDrain(Vec2 p) { return p.y > 1.0f && p.x > 0.14f && p.x < 0.79f; }
    bool Escaped(Vec2 p) const { return !InDrain(p) && !outline_.Inside(p); }

    std::filesystem::path oldDir_;
    std::map<std::string, int> names_;
    TableOutline outline_;
    SimRunner sim_;
    ShownItems shown_;
};
