// Sample content of the War Room: for each of the eight regions a map image with land grown
// around its sites and a writable relief image (height in green, alpha clear for the infection
// stain), the map's detail, static and marker textures, the flight pieces, their plating, the
// beacons' halo, the dust and the screen's rings.
#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "game/warroom/Region_Tables.h"
#include "tools/content/manifest.h"
#include "tools/content/mesh_entry.h"
#include "tools/writers/mesh_generator.h"
#include "tools/writers/renderable_writer.h"
#include "tools/writers/texture_patterns.h"
#include "tools/writers/texture_writer.h"

namespace content {

namespace {

constexpr uint32_t kFormatArgb = 1;
constexpr uint32_t kFlagsAlphaBlend = 0x2033;
constexpr uint32_t kFlagsWritable = 0x10000;
constexpr uint32_t kMap_Size = 256;
constexpr uint32_t kRelief_Size = 128;
constexpr double kLink_Reach = 0.15;

uint32_t Argb(double a, double r, double g, double b) {
  auto channel = [](double v) { return static_cast<uint32_t>(std::clamp(v, 0.0, 1.0) * 255.0 + 0.5); };
  return (channel(a) << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

writers::Picture Blank(uint32_t width, uint32_t height) {
  writers::Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(size_t(width) * height, 0);
  return picture;
}

// Smooth value noise in 0-1 from a hash of the lattice corners.
double Hash(int x, int y, int seed) {
  uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
               static_cast<uint32_t>(seed) * 2246822519u;
  h = (h ^ (h >> 13)) * 1274126177u;
  return static_cast<double>((h ^ (h >> 16)) & 0xFFFF) / 65535.0;
}

double Value_Noise(double x, double y, int seed) {
  const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
  const double fx = x - x0, fy = y - y0;
  const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
  const double top = Hash(x0, y0, seed) + (Hash(x0 + 1, y0, seed) - Hash(x0, y0, seed)) * sx;
  const double bottom = Hash(x0, y0 + 1, seed) + (Hash(x0 + 1, y0 + 1, seed) - Hash(x0, y0 + 1, seed)) * sx;
  return top + (bottom - top) * sy;
}

double Fractal_Noise(double x, double y, int seed) {
  double sum = 0.0, amplitude = 0.5, frequency = 1.0;
  for (int octave = 0; octave < 4; ++octave) {
    sum += amplitude * Value_Noise(x * frequency, y * frequency, seed + octave);
    amplitude *= 0.5;
    frequency *= 2.0;
  }
  return sum;
}

double Segment_Distance(double px, double py, double ax, double ay, double bx, double by) {
  const double dx = bx - ax, dy = by - ay;
  const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / std::max(dx * dx + dy * dy, 1e-9), 0.0, 1.0);
  return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// Land height at a map point (x from the left, y from the bottom): above 0 on land. Each site
// raises a hill sized by its weight; neighbouring sites within link reach are joined by a ridge,
// so the land between linked cities is continuous. Noise roughens the coasts.
double Land_Height(const warroom_data::Region& region, double x, double y, int seed) {
  double height = -1.0;
  for (int i = 0; i < region.site_count; ++i) {
    const warroom_data::Region_Site& a = region.sites[i];
    const double radius = 0.055 + 0.045 * a.weight;
    height = std::max(height, 1.0 - std::hypot(x - a.x, y - a.y) / radius);
    for (int j = i + 1; j < region.site_count; ++j) {
      const warroom_data::Region_Site& b = region.sites[j];
      if (std::hypot(a.x - b.x, a.y - b.y) > kLink_Reach * 1.4) continue;
      height = std::max(height, 0.6 - Segment_Distance(x, y, a.x, a.y, b.x, b.y) / 0.04);
    }
  }
  return height + (Fractal_Noise(x * 12.0, y * 12.0, seed) - 0.5) * 0.7;
}

writers::Picture Region_Map(const warroom_data::Region& region, int seed) {
  writers::Picture picture = Blank(kMap_Size, kMap_Size);
  for (uint32_t row = 0; row < kMap_Size; ++row)
    for (uint32_t column = 0; column < kMap_Size; ++column) {
      const double x = (column + 0.5) / kMap_Size, y = 1.0 - (row + 0.5) / kMap_Size;
      const double h = Land_Height(region, x, y, seed);
      const double grain = Fractal_Noise(x * 40.0, y * 40.0, seed + 9);
      uint32_t colour;
      if (h > 0.0) {
        const double relief = std::min(h, 1.0);
        colour = Argb(1, 0.22 + 0.35 * relief + 0.08 * grain, 0.38 + 0.22 * relief + 0.1 * grain, 0.14 + 0.06 * relief);
      } else {
        const double depth = std::min(-h, 1.0);
        colour = Argb(1, 0.03, 0.13 - 0.06 * depth + 0.03 * grain, 0.3 - 0.1 * depth + 0.04 * grain);
        if (h > -0.08) colour = writers::MixColor(colour, 0xFF4A7A9A, 0.6);  // shallows along the coast
      }
      const bool grid = column % 32 == 0 || row % 32 == 0;
      if (grid) colour = writers::MixColor(colour, 0xFF6080A0, 0.3);
      picture.At(column, row) = colour;
    }
  return picture;
}

// The relief image the map reads its scan lines from: height in green (0 at sea), alpha 0.
writers::Picture Region_Relief(const warroom_data::Region& region, int seed) {
  writers::Picture picture = Blank(kRelief_Size, kRelief_Size);
  for (uint32_t row = 0; row < kRelief_Size; ++row)
    for (uint32_t column = 0; column < kRelief_Size; ++column) {
      const double x = (column + 0.5) / kRelief_Size, y = 1.0 - (row + 0.5) / kRelief_Size;
      const double h = Land_Height(region, x, y, seed);
      const double green = h > 0.0 ? 0.25 + 0.75 * std::min(h, 1.0) : 0.0;
      picture.At(column, row) = Argb(0, 0, green, 0);
    }
  return picture;
}

// A fine blue-grey grid the map image is modulated with.
bool Map_Detail(writers::Picture& picture) {
  picture = Blank(64, 64);
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      const bool line = x % 16 == 0 || y % 16 == 0;
      const double v = line ? 1.0 : 0.8 + 0.1 * Hash(static_cast<int>(x), static_cast<int>(y), 3);
      picture.At(x, y) = Argb(1, v * 0.9, v, v);
    }
  return true;
}

// Faint horizontal scan static, drawn over the map at random offsets.
bool Map_Static(writers::Picture& picture) {
  picture = Blank(64, 64);
  for (uint32_t y = 0; y < 64; ++y)
    for (uint32_t x = 0; x < 64; ++x) {
      const double band = (y % 8 == 0) ? 0.14 : 0.03;
      const double speck = Hash(static_cast<int>(x), static_cast<int>(y), 11) > 0.95 ? 0.25 : 0.0;
      picture.At(x, y) = Argb(band + speck, 0.6, 1.0, 0.6);
    }
  return true;
}

// A soft round city marker: bright core, glowing rim. White, tinted by the vertex colour.
bool Marker(writers::Picture& picture) {
  picture = Blank(32, 32);
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 32; ++x) {
      const double d = std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0) / 16.0;
      const double core = d < 0.35 ? 1.0 : std::max(0.0, 1.0 - (d - 0.35) / 0.65);
      picture.At(x, y) = Argb(core * core, 1, 1, 1);
    }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Flight pieces: open frames of beams around the path the shuttle flies (x sideways, z ahead).

struct Point2 {
  double x, z;
};

// A box from a to b in the x-z plane at height y, half_w wide and half_h tall across it.
void Add_Beam(writers::MeshGeometry& mesh, Point2 a, Point2 b, double y, double half_w, double half_h) {
  const double dx = b.x - a.x, dz = b.z - a.z;
  const double length = std::max(std::hypot(dx, dz), 1e-6);
  const double sx = -dz / length * half_w, sz = dx / length * half_w;  // sideways
  const double ux = dx / length, uz = dz / length;
  const double corners[8][3] = {
      {a.x - sx, y - half_h, a.z - sz}, {a.x + sx, y - half_h, a.z + sz}, {a.x + sx, y + half_h, a.z + sz},
      {a.x - sx, y + half_h, a.z - sz}, {b.x - sx, y - half_h, b.z - sz}, {b.x + sx, y - half_h, b.z + sz},
      {b.x + sx, y + half_h, b.z + sz}, {b.x - sx, y + half_h, b.z - sz}};
  struct Face {
    int v[4];
    double n[3];
  };
  const double side_x = sx / half_w, side_z = sz / half_w;
  const Face faces[6] = {{{0, 1, 2, 3}, {-ux, 0, -uz}}, {{5, 4, 7, 6}, {ux, 0, uz}},
                         {{4, 0, 3, 7}, {-side_x, 0, -side_z}}, {{1, 5, 6, 2}, {side_x, 0, side_z}},
                         {{3, 2, 6, 7}, {0, 1, 0}}, {{4, 5, 1, 0}, {0, -1, 0}}};
  const float uv[4][2] = {{0, 1}, {1, 1}, {1, 0}, {0, 0}};
  for (const Face& face : faces) {
    const auto base = static_cast<uint16_t>(mesh.vertices.size());
    for (int k = 0; k < 4; ++k) {
      writers::MeshVertex v{};
      for (int c = 0; c < 3; ++c) {
        v.position[c] = static_cast<float>(corners[face.v[k]][c]);
        v.normal[c] = static_cast<float>(face.n[c]);
      }
      v.uv[0] = uv[k][0] * static_cast<float>(length / 100.0);
      v.uv[1] = uv[k][1];
      mesh.vertices.push_back(v);
    }
    for (const int i : {0, 1, 2, 0, 2, 3}) mesh.indices.push_back(static_cast<uint16_t>(base + i));
  }
}

// A passage along a path: four long rails at the corners and a square rib every step.
void Add_Passage(writers::MeshGeometry& mesh, const std::vector<Point2>& path, double half_width, double half_height) {
  for (size_t i = 0; i + 1 < path.size(); ++i) {
    const Point2 a = path[i], b = path[i + 1];
    const double dx = b.x - a.x, dz = b.z - a.z, length = std::hypot(dx, dz);
    const double sx = -dz / length * half_width, sz = dx / length * half_width;
    for (const double side : {-1.0, 1.0})
      for (const double y : {-half_height, half_height})
        Add_Beam(mesh, {a.x + side * sx, a.z + side * sz}, {b.x + side * sx, b.z + side * sz}, y, 6, 6);
    // The rib across the path at a.
    const Point2 left{a.x - sx, a.z - sz}, right{a.x + sx, a.z + sz};
    Add_Beam(mesh, left, right, -half_height, 4, 10);
    Add_Beam(mesh, left, right, half_height, 4, 10);
    Add_Beam(mesh, {left.x, left.z}, {left.x + dx / length * 8, left.z + dz / length * 8}, 0, 8, half_height);
    Add_Beam(mesh, {right.x, right.z}, {right.x + dx / length * 8, right.z + dz / length * 8}, 0, 8, half_height);
  }
}

std::vector<Point2> Straight_Path(double length, int steps) {
  std::vector<Point2> path;
  for (int i = 0; i <= steps; ++i) path.push_back({0.0, length * i / steps});
  return path;
}

// An arc bending towards +x (or -x when mirrored) from the entry, heading along z.
std::vector<Point2> Arc_Path(double radius, double degrees, bool mirrored, int steps) {
  std::vector<Point2> path;
  for (int i = 0; i <= steps; ++i) {
    const double a = degrees * 3.14159265358979 / 180.0 * i / steps;
    const double x = radius - radius * std::cos(a);
    path.push_back({mirrored ? -x : x, radius * std::sin(a)});
  }
  return path;
}

writers::MeshGeometry Flight_Piece(int type) {
  writers::MeshGeometry mesh;
  switch (type) {
    case 1:
      Add_Passage(mesh, Straight_Path(1000.0, 8), 160.0, 110.0);
      break;
    case 2:
      Add_Passage(mesh, Arc_Path(3047.0, 30.0, false, 12), 160.0, 110.0);
      break;
    case 3:
      Add_Passage(mesh, Arc_Path(2037.0, 45.0, false, 12), 160.0, 110.0);
      break;
    case 4:
      Add_Passage(mesh, Arc_Path(3047.0, 30.0, false, 12), 160.0, 110.0);
      Add_Passage(mesh, Arc_Path(3047.0, 30.0, true, 12), 160.0, 110.0);
      break;
    default: {
      // The dock: a wide hall with a landing deck in the middle of its 2000 units.
      Add_Passage(mesh, Straight_Path(2000.0, 10), 300.0, 180.0);
      const float scale[3] = {1.0f, 1.0f, 1.0f};
      const float deck[3] = {0.0f, -120.0f, 1000.0f};
      writers::AppendPart(mesh, writers::MakeBox(200.0f, 8.0f, 300.0f), scale, deck);
      break;
    }
  }
  return mesh;
}


// A soft round glow (beacons, their halos, the dust): full colour, fading by its alpha, which the
// glow style weighs the colour by.
bool Soft_Glow(writers::Picture& picture, double r, double g, double b, double sharpness) {
  picture = Blank(32, 32);
  for (uint32_t y = 0; y < 32; ++y)
    for (uint32_t x = 0; x < 32; ++x) {
      const double d = std::min(std::hypot(x + 0.5 - 16.0, y + 0.5 - 16.0) / 16.0, 1.0);
      const double a = std::pow(1.0 - d, sharpness);
      picture.At(x, y) = Argb(a, r, g, b);
    }
  return true;
}

// A ring with a bright rim for the War Room screen's rotating rings.
writers::MeshGeometry Screen_Ring(float radius, float width) { return writers::MakeRing(radius - width, radius, 48); }

void Add_Texture(Manifest& manifest, uint32_t id, std::string name, uint32_t flags,
                 std::function<bool(writers::Picture&)> draw) {
  ResourceEntry entry;
  entry.id = id;
  entry.type = 2;
  entry.name = std::move(name);
  entry.compress = true;
  entry.generate = [draw, flags](Bytes& out) {
    writers::Picture picture;
    return draw(picture) &&
           writers::EncodeTextureData(writers::kTextureVersionSingle, kFormatArgb, flags, 1, {picture}, out);
  };
  manifest.AddResource(std::move(entry));
}

// The report's board: a frame of four bars round an opening, with a thin back plate behind it.
writers::MeshGeometry Report_Frame() {
  writers::MeshGeometry mesh;
  const float one[3] = {1.0f, 1.0f, 1.0f};
  const float half_w = 118.0f, half_h = 88.0f, bar = 4.0f, depth = 3.0f;
  const float top[3] = {0.0f, half_h - bar, 0.0f}, bottom[3] = {0.0f, -half_h + bar, 0.0f};
  const float left[3] = {-half_w + bar, 0.0f, 0.0f}, right[3] = {half_w - bar, 0.0f, 0.0f};
  writers::AppendPart(mesh, writers::MakeBox(half_w, bar, depth), one, top);
  writers::AppendPart(mesh, writers::MakeBox(half_w, bar, depth), one, bottom);
  writers::AppendPart(mesh, writers::MakeBox(bar, half_h - 2.0f * bar, depth), one, left);
  writers::AppendPart(mesh, writers::MakeBox(bar, half_h - 2.0f * bar, depth), one, right);
  const float back[3] = {0.0f, 0.0f, depth + 1.0f};
  writers::AppendPart(mesh, writers::MakeBox(half_w - bar, half_h - bar, 0.5f), one, back);
  return mesh;
}

// The tinted face inside the report's frame.
writers::MeshGeometry Report_Face() { return writers::MakeBox(114.0f, 84.0f, 0.5f); }

// A tall soft beam of light: bright along its middle, fading to its sides and ends.
bool Light_Beam(writers::Picture& picture) {
  picture = Blank(32, 128);
  for (uint32_t y = 0; y < 128; ++y)
    for (uint32_t x = 0; x < 32; ++x) {
      const double across = 1.0 - std::min(std::fabs(x + 0.5 - 16.0) / 16.0, 1.0);
      const double along = std::sin(3.14159265 * (y + 0.5) / 128.0);
      const double a = std::pow(across, 2.0) * along;
      picture.At(x, y) = Argb(a, 0.85, 0.8, 1.0);
    }
  return true;
}

}  // namespace

void Add_WarRoom_Family(Manifest& manifest) {
  int seed = 1;
  for (const warroom_data::Region& region : warroom_data::kRegions) {
    const warroom_data::Region* data = &region;
    const std::string stem = "textures/warroom/region_" + std::to_string(seed);
    Add_Texture(manifest, region.map_texture, stem + "_map.txb", kFlagsAlphaBlend,
                [data, seed](writers::Picture& picture) {
                  picture = Region_Map(*data, seed);
                  return true;
                });
    Add_Texture(manifest, region.minimap_texture, stem + "_relief.txb", kFlagsAlphaBlend | kFlagsWritable,
                [data, seed](writers::Picture& picture) {
                  picture = Region_Relief(*data, seed);
                  return true;
                });
    ++seed;
  }
  Add_Texture(manifest, 0x2200007f, "textures/warroom/map_detail.txb", kFlagsAlphaBlend, Map_Detail);
  Add_Texture(manifest, 0x22000081, "textures/warroom/map_static.txb", kFlagsAlphaBlend, Map_Static);
  Add_Texture(manifest, 0x22000085, "textures/warroom/marker.txb", kFlagsAlphaBlend, Marker);

  const char* const kPieces[5] = {"straight", "bend", "tight_bend", "fork", "dock"};
  const uint32_t kPiece_Ids[5] = {0x22000063, 0x2200006f, 0x22000070, 0x22000071, 0x22000075};
  for (int type = 1; type <= 5; ++type)
    Add_Mesh_Resource(manifest, kPiece_Ids[type - 1], std::string("meshes/warroom/piece_") + kPieces[type - 1] + ".rnd",
             [type] { return Flight_Piece(type); });
  // 0x2200005e, the second texture of the passage, is the shared white glow of the arsenal family.
  Add_Texture(manifest, 0x22000073, "textures/warroom/dust.txb", kFlagsAlphaBlend,
              [](writers::Picture& p) { return Soft_Glow(p, 0.8, 0.85, 0.9, 1.5); });
  Add_Texture(manifest, 0x22000072, "textures/warroom/beacon_halo.txb", kFlagsAlphaBlend,
              [](writers::Picture& p) { return Soft_Glow(p, 0.6, 0.7, 1.0, 3.0); });
  const uint32_t kRing_Ids[5] = {0x22000079, 0x2200007a, 0x2200007b, 0x2200007c, 0x2200007d};
  for (int i = 0; i < 5; ++i) {
    const float radius = 60.0f + 18.0f * static_cast<float>(i);
    Add_Mesh_Resource(manifest, kRing_Ids[i], "meshes/warroom/ring_" + std::to_string(i) + ".rnd",
             [radius] { return Screen_Ring(radius, 3.0f); });
  }
  Add_Mesh_Resource(manifest, 0x220000d0, "meshes/warroom/report_frame.rnd", Report_Frame);
  Add_Mesh_Resource(manifest, 0x220000d2, "meshes/warroom/report_face.rnd", Report_Face);
  Add_Texture(manifest, 0x220000cf, "textures/warroom/light_beam.txb", kFlagsAlphaBlend, Light_Beam);
}

}  // namespace content
