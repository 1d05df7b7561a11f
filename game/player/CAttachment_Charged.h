#pragma once
// What the four charged attachments share: a count of charges on a display, a fire request the
// right button sets and its release clears, and a cooldown between uses. While the request
// stays set a charge is used each time the cooldown ends, until none are left.
#include <cstdint>

#include "game/player/CAttachment.h"
#include "game/player/CAttachment_Display.h"

class CAttachment_Charged : public CAttachment {
 public:
  bool Init() override;
  void Term() override;
  bool Attach(CPlayer_Weapon_Gun* gun) override;
  // Leaves the charges left in the War Room carry while a campaign runs.
  void Detach() override;
  // Hides (1) or shows (0) the display; the charges stay usable.
  void Set_Flag(uint8_t flag) override;
  void Update(float dt) override;
  void Render() override;
  // Requests a use; with no charges left, plays the empty click instead.
  void Fire() override;
  void Cancel_Fire() override;

  uint8_t m_Fire_Request = 0;
  float m_Cooldown = 0.0f;
  CAttachment_Display m_Display;

 protected:
  // The attachment's own parts.
  virtual int32_t Own_Kind() const = 0;
  virtual int32_t Base_Charges() const = 0;
  virtual float Cooldown_Length() const = 0;
  virtual uint32_t Icon_Texture() const = 0;
  // Clears the attachment's effect slots at Attach.
  virtual void Clear_Effects() {}
  // The attachment's own timers, run before the cooldown.
  virtual void Update_Timers(float dt) { (void)dt; }
  // One use of a charge.
  virtual void Use() {}
  virtual void Update_Effects(float dt) { (void)dt; }
  virtual void Render_Effects() {}
  // Draws the display (the bullet spray draws through it too).
  virtual void Render_Display() { m_Display.Render(); }
};
