#include "shell/frame_loop.h"

#include "shell/error_report.h"
#include "shell/main_proc.h"
#include "shell/pacing.h"

void GameFrame(GameState& gs, const ProgramDefinition& program, InputDevice& input) {
  program.DD_BackInit(gs);
  Main_Proc(gs, input);
}

GameRun::GameRun(const ProgramDefinition& program, Platform& platform, FrameScript* script)
    : program_(program),
      platform_(platform),
      script_(script),
      gs_(std::make_unique<GameState>()),
      player_(platform),
      previousBoxes_(SetMessageBoxes(&platform)) {}

GameRun::~GameRun() { SetMessageBoxes(previousBoxes_); }

bool GameRun::Start() {
  procedure_ = program_.MakeProcedure(*gs_, queue_, platform_);
  gs_->hwnd = platform_.OpenWindow(*gs_, queue_, *procedure_);
  if (gs_->hwnd == nullptr) return false;
  started_ = program_.StartDevices(*gs_, queue_, platform_);
  // A failure either took the window with it, or posted the close request
  // that the loop takes before any frame.
  if (!queue_.IsWindow(gs_->hwnd)) return false;
  Clock& clock = platform_.clock();
  StartPacing(*gs_, clock);
  gs_->dispColor = program_.startShade;
  clock.timeBeginPeriod(1);
  periodRaised_ = true;
  return true;
}

bool GameRun::DispatchMessages() {
  Message message;
  while (queue_.PeekMessage(message)) {
    if (message.message == WM_QUIT_MSG) return false;
    player_.Observe(message);
    queue_.DispatchMessage(message);
  }
  return true;
}

bool GameRun::Frame() {
  if (script_ == nullptr) {
    GameFrame(*gs_, program_, player_);
    return false;
  }
  GameFrame(*gs_, program_, script_->BeginFrame());
  return script_->AfterFrame(*gs_);
}

int GameRun::End() {
  if (periodRaised_) platform_.clock().timeEndPeriod(1);
  periodRaised_ = false;
  if (!started_) return 1;
  return script_ != nullptr && script_->failed() ? 1 : 0;
}

int RunProgram(const ProgramDefinition& program, Platform& platform, FrameScript* script) {
  GameRun run(program, platform, script);
  if (run.Start()) {
    while (run.DispatchMessages()) {
      if (run.Frame()) run.Close();
      // The wait comes before the copy so that frames reach the screen
      // evenly spaced.
      WaitFrame(run.gs(), platform.clock());
      run.Present();
    }
  }
  return run.End();
}
