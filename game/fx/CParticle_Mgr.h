#pragma once
// The base of the particle managers; all three share its Term.
class CParticle_Mgr {
 public:
  CParticle_Mgr() = default;
  CParticle_Mgr(const CParticle_Mgr&) = delete;
  CParticle_Mgr& operator=(const CParticle_Mgr&) = delete;
  virtual ~CParticle_Mgr() = default;

  virtual bool Init();
  void Term();
  bool Is_Initialised() const { return m_Initialised; }
  virtual void Render() {}

 protected:
  bool m_Initialised = false;
};
