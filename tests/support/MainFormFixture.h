#pragma once
// The main window over a real engine (see EngineFixture): the program counts as running, the
// window is not maximized and sits at the settings' rectangle; a test sets what else it needs
// before it calls createForm. The window goes before the engine.
#include "base/AppState.h"
#include "settings/Prefer.h"
#include "ui/MainForm.h"

#include "EngineFixture.h"

#include <functional>
#include <memory>

struct MainFormFixture : EngineFixture {
    std::unique_ptr<TMainForm> form;
    bool savedRunning = App.AppRunning;

    void SetUp() override
    {
        EngineFixture::SetUp();
        Prefer.Maximized = false;
        Prefer.WindowRect = {100, 50, 500, 650}; // top, left, bottom, right
        App.AppRunning = true;
    }
    void TearDown() override
    {
        form.reset();
        App.AppRunning = savedRunning;
        EngineFixture::TearDown();
    }
    // writeData: how the window saves the settings when it closes.
    void createForm(std::function<bool()> writeData = [] { return true; })
    {
        form = std::make_unique<TMainForm>(engine.get(), std::move(writeData));
    }
};
