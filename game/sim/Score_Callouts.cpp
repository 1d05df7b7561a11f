#include "game/sim/Score_Callouts.h"

#include <algorithm>
#include <iterator>

#include "game/core/Sound_FX.h"

namespace {

constexpr float kThreshold_Step = 0.65f;
constexpr float kMax_Weight = 4.99f;
constexpr float kWeight_Step = 0.75f;
constexpr float kThreshold_Decay = 0.035f;
constexpr float kWeight_Recovery = 0.015f;

constexpr CCallout_Row Row(uint32_t sample, float play_time, float weight) {
  return CCallout_Row{sample, true, 1.0f, play_time, weight, 0.6f, weight};
}

constexpr CCallout_Row kInitial_Table[kCallout_Kind_Count] = {
    Row(0x2200011d, 2.0f, 0.0f), Row(0x220000fc, 3.5f, 1.0f), Row(0x22000125, 4.0f, 2.0f),
    Row(0x220000ef, 3.5f, 0.0f), Row(0x220000fa, 6.0f, 4.3f), Row(0x22000123, 3.0f, 1.0f),
    Row(0x2200012b, 3.0f, 2.0f), Row(0x2200011e, 2.5f, 1.5f), Row(0x2200011f, 3.5f, 3.0f),
    Row(0x22000128, 3.5f, 2.0f), Row(0x22000129, 3.5f, 4.0f), Row(0x22000126, 3.5f, 3.0f),
    Row(0x2200012a, 3.5f, 5.0f),
};

bool Is_Queued(uint32_t sample) {
  const CCallout_State& s = g_Callout_State;
  return std::any_of(s.queue, s.queue + s.queue_length, [&](const CCallout_Entry& e) { return e.sample_id == sample; });
}

void Remove_Queued(unsigned index) {
  CCallout_State& s = g_Callout_State;
  std::copy(s.queue + index + 1, s.queue + s.queue_length, s.queue + index);
  --s.queue_length;
}

// Whether a request of the row finds room: a free place within the limit, or a waiting callout
// of lower weight to take the place of. Ousting the last entry of the queue ends the request.
bool Make_Room(const CCallout_Row& row, unsigned limit) {
  CCallout_State& s = g_Callout_State;
  const unsigned cap = static_cast<unsigned>(CCallout_State::kQueue_Size);
  if (s.queue_length + 1 <= limit && s.queue_length + 1 <= cap) return true;
  if (s.queue_length > limit || s.queue_length > cap) return false;
  for (unsigned i = 0; i < s.queue_length; ++i) {
    if (s.queue[i].weight < row.weight) {
      const bool was_last = i + 1 == s.queue_length;
      Remove_Queued(i);
      return !was_last;
    }
  }
  return false;
}

}  // namespace

CCallout_Row g_Callout_Table[kCallout_Kind_Count] = {
    kInitial_Table[0], kInitial_Table[1], kInitial_Table[2],  kInitial_Table[3],  kInitial_Table[4],
    kInitial_Table[5], kInitial_Table[6], kInitial_Table[7],  kInitial_Table[8],  kInitial_Table[9],
    kInitial_Table[10], kInitial_Table[11], kInitial_Table[12],
};
CCallout_State g_Callout_State;

void Reset_Callouts() {
  std::copy(std::begin(kInitial_Table), std::end(kInitial_Table), g_Callout_Table);
  g_Callout_State = CCallout_State();
}

void Request_Callout(const unsigned& kind, const unsigned& limit) {
  if (kind >= kCallout_Kind_Count) return;
  CCallout_Row& row = g_Callout_Table[kind];
  if (row.sample_id == 0) return;
  CCallout_State& s = g_Callout_State;
  if (row.unique && (s.playing == row.sample_id || Is_Queued(row.sample_id))) return;
  if (row.weight < s.threshold) return;
  if (!Make_Room(row, limit)) return;
  s.threshold = std::min(s.threshold + kThreshold_Step, kMax_Weight);
  const float weight_at_request = row.weight;
  if (row.weight < kMax_Weight) row.weight = std::max(row.weight - kWeight_Step, 0.0f);
  s.queue[s.queue_length++] = CCallout_Entry{row.sample_id, row.volume_factor, row.play_time, row.delay, weight_at_request};
}

void Update_Callouts(const float& delta) {
  CCallout_State& s = g_Callout_State;
  s.threshold = std::max(s.threshold - kThreshold_Decay * delta, 0.0f);
  for (CCallout_Row& row : g_Callout_Table)
    if (row.weight != row.base_weight) row.weight = std::min(row.weight + kWeight_Recovery * delta, row.base_weight);
  if (s.playing != 0) {
    s.play_left -= delta;
    if (s.play_left <= 0.0f) s.playing = 0;
  }
  if (s.queue_length == 0 || s.playing != 0) return;
  CCallout_Entry& head = s.queue[0];
  if (head.delay > 0.0f) {
    head.delay -= delta;
    return;
  }
  // Played by the sound-effect rule: silent at a low effect volume, yet its time is consumed.
  Play_Sound_FX(head.sample_id, head.volume_factor);
  s.playing = head.sample_id;
  s.play_left = head.play_time;
  Remove_Queued(0);
}
