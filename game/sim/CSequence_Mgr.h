#pragma once
// The timed-event sequencer: status sequences whose events issue menu commands.
struct CFrame_Info;

class CSequence_Mgr {
 public:
  bool Init();
  void Clear();
  void Update(const CFrame_Info& frame);
  bool Is_Initialised() const { return m_Initialised; }

 private:
  bool m_Initialised = false;
};

extern CSequence_Mgr g_Sequence_Mgr;
