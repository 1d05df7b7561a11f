#pragma once
// The links that tie target locks to the world objects they hold. Each link sits at once in
// the pool's list of links in use, in its object's chain and in its lock's chain, so that
// either side can let go.
#include <cstdint>

class CWorld_Object;
class CTarget_Lock;

class CTarget_Link {
 public:
  CWorld_Object* m_Object = nullptr;
  CTarget_Lock* m_Lock = nullptr;
  CTarget_Link* m_Next_In_Pool = nullptr;
  CTarget_Link* m_Next_Of_Object = nullptr;
  CTarget_Link* m_Next_Of_Lock = nullptr;
};

class CTarget_Link_Pool {
 public:
  static constexpr int kLink_Count = 256;

  CTarget_Link_Pool() = default;
  CTarget_Link_Pool(const CTarget_Link_Pool&) = delete;
  CTarget_Link_Pool& operator=(const CTarget_Link_Pool&) = delete;
  ~CTarget_Link_Pool() { Term(); }

  bool Init();
  void Term();
  bool Is_Alive() const;
  // A record of the pool, or a counted heap link when all are in use; null only when that
  // allocation fails.
  CTarget_Link* Add_Link(CWorld_Object* object, CTarget_Lock* lock);
  // Does nothing while the pool is not alive.
  void Remove_Link(CTarget_Link* link);

  int Links_In_Use() const;
  bool Is_Pool_Record(const CTarget_Link* link) const;

 private:
  CTarget_Link* m_In_Use = nullptr;
  CTarget_Link m_Links[kLink_Count];
  CTarget_Link* m_Free = nullptr;
};

extern CTarget_Link_Pool g_Target_Link_Pool;
