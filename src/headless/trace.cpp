#include "headless/trace.h"

#include <charconv>
#include <cstdint>

namespace {

struct Column {
  const char* name;
  std::int32_t GameState::*field;
};

constexpr Column kColumns[] = {
    {"controlAcceleration", &GameState::controlAcceleration},
    {"controlBrake", &GameState::controlBrake},
    {"controlLeftRight", &GameState::controlLeftRight},
    {"carGrip", &GameState::carGrip},
    {"carGripCount", &GameState::carGripCount},
    {"carVelocity", &GameState::carVelocity},
    {"carVelocityMax", &GameState::carVelocityMax},
    {"carPosition", &GameState::carPosition},
    {"courseSlide", &GameState::courseSlide},
    {"carLRTurnDev", &GameState::carLRTurnDev},
    {"carLRTurn", &GameState::carLRTurn},
    {"carLRMove", &GameState::carLRMove},
    {"carLRPosition", &GameState::carLRPosition},
    {"carHitCount", &GameState::carHitCount},
    {"goalCount", &GameState::goalCount},
    {"timeCount", &GameState::timeCount},
};

constexpr Column kDisplayColumns[] = {
    {"dispDebug", &GameState::dispDebug},         {"dispMap", &GameState::dispMap},
    {"dispGhost", &GameState::dispGhost},         {"dispObject", &GameState::dispObject},
    {"dispIndicater", &GameState::dispIndicater}, {"dispColor", &GameState::dispColor},
};

void Put(char*& p, long long value) {
  *p++ = ',';
  p = std::to_chars(p, p + 24, value).ptr;
}

}  // namespace

void WriteTraceHeader(std::FILE* out, bool withView) {
  std::fputs("frame", out);
  for (const Column& c : kColumns) std::fprintf(out, ",%s", c.name);
  for (int k = 0; k < kGoalRecords; ++k) std::fprintf(out, ",goalRecord%d", k);
  for (const Column& c : kDisplayColumns) std::fprintf(out, ",%s", c.name);
  if (withView) {
    for (int i = 0; i < kViewSteps; ++i) std::fprintf(out, ",drawViewX%d", i);
  }
  std::fputc('\n', out);
}

void WriteTraceRow(std::FILE* out, long long frame, const GameState& gs, bool withView) {
  // Room for every column at its widest, the view included.
  char row[(1 + 16 + kGoalRecords + 6 + kViewSteps) * 13 + 2];
  char* p = std::to_chars(row, row + 24, frame).ptr;
  for (const Column& c : kColumns) Put(p, gs.*c.field);
  for (std::int32_t record : gs.goalRecord) Put(p, record);
  for (const Column& c : kDisplayColumns) Put(p, gs.*c.field);
  if (withView) {
    for (std::int32_t x : gs.drawViewX) Put(p, x);
  }
  *p++ = '\n';
  std::fwrite(row, 1, static_cast<size_t>(p - row), out);
}
