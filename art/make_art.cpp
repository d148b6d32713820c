// Renders the artwork bundled with TolvaneConfig:
//   make_art OUTPUT_FOLDER
//
// Writes two files into OUTPUT_FOLDER:
//   Tolvane.bmp        the 376x372 picture shown at the left of the main dialog
//                      (24 bits per pixel, uncompressed, bottom-up rows)
//   TolvaneConfig.ico  the application icon: a 32x32 and a 16x16 image, 16 colours each
//
// Everything is painted procedurally. All variation comes from a fixed-seed generator and from
// hash-based noise, so every run produces byte-identical files.
//
// The picture is rendered at three times its final size and box-filtered down, which gives
// smooth edges without any explicit anti-aliasing in the shape code. Coordinates in the drawing
// code are always final-picture pixels (floats); the supersampling is hidden in the helpers.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

namespace {

// ---------------------------------------------------------------------------------------------
// Basic types and maths

struct Rgb {
    float r = 0.0f;
    float g = 0.0f;
    float b = 0.0f;
};

constexpr Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
constexpr Rgb operator*(Rgb a, float k) {
    return {a.r * k, a.g * k, a.b * k};
}
constexpr Rgb operator*(Rgb a, Rgb b) {
    return {a.r * b.r, a.g * b.g, a.b * b.b};
}

constexpr Rgb hex(std::uint32_t v) {
    return {static_cast<float>((v >> 16) & 0xFFu) / 255.0f,
            static_cast<float>((v >> 8) & 0xFFu) / 255.0f, static_cast<float>(v & 0xFFu) / 255.0f};
}

struct V2 {
    float x = 0.0f;
    float y = 0.0f;
};

float clamp01(float v) {
    return std::clamp(v, 0.0f, 1.0f);
}
float lerp(float a, float b, float t) {
    return a + (b - a) * t;
}
Rgb mix(Rgb a, Rgb b, float t) {
    return {lerp(a.r, b.r, t), lerp(a.g, b.g, t), lerp(a.b, b.b, t)};
}
float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
float sq(float v) {
    return v * v;
}
float fract(float v) {
    return v - std::floor(v);
}

// Distance from (x, y) to the segment a-b.
float segmentDistance(V2 a, V2 b, float x, float y) {
    const float dx = b.x - a.x;
    const float dy = b.y - a.y;
    const float len2 = dx * dx + dy * dy;
    const float t = len2 > 0.0f ? clamp01(((x - a.x) * dx + (y - a.y) * dy) / len2) : 0.0f;
    return std::hypot(x - (a.x + t * dx), y - (a.y + t * dy));
}

bool insidePolygon(std::span<const V2> poly, float x, float y) {
    bool inside = false;
    for (std::size_t i = 0, j = poly.size() - 1; i < poly.size(); j = i++) {
        const V2 a = poly[i];
        const V2 b = poly[j];
        if ((a.y > y) != (b.y > y) && x < (b.x - a.x) * (y - a.y) / (b.y - a.y) + a.x) {
            inside = !inside;
        }
    }
    return inside;
}

// ---------------------------------------------------------------------------------------------
// Deterministic randomness

// SplitMix64: tiny, fast and good enough for placing trees and bending ridgelines.
class Rng {
  public:
    explicit Rng(std::uint64_t seed) : state_(seed) {}

    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 40) / 16777216.0f; }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

  private:
    std::uint64_t state_;
};

// Stateless lattice hash in [0, 1].
float hash2(int x, int y, std::uint32_t seed) {
    std::uint32_t h = static_cast<std::uint32_t>(x) * 0x8DA6B343u;
    h ^= static_cast<std::uint32_t>(y) * 0xD8163841u;
    h ^= seed * 0xCB1AB31Fu;
    h ^= h >> 13;
    h *= 0x5BD1E995u;
    h ^= h >> 15;
    h *= 0x27D4EB2Du;
    h ^= h >> 16;
    return static_cast<float>(h & 0xFFFFFFu) / 16777215.0f;
}

float hash1(int i, std::uint32_t seed) {
    return hash2(i, 0x51ED, seed);
}

// Smooth value noise in [0, 1].
float valueNoise(float x, float y, std::uint32_t seed) {
    const float fx = std::floor(x);
    const float fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    float tx = x - fx;
    float ty = y - fy;
    tx = tx * tx * (3.0f - 2.0f * tx);
    ty = ty * ty * (3.0f - 2.0f * ty);
    const float a = hash2(ix, iy, seed);
    const float b = hash2(ix + 1, iy, seed);
    const float c = hash2(ix, iy + 1, seed);
    const float d = hash2(ix + 1, iy + 1, seed);
    return lerp(lerp(a, b, tx), lerp(c, d, tx), ty);
}

// Fractal sum of value noise, normalised to [0, 1].
float fbm(float x, float y, std::uint32_t seed, int octaves) {
    float sum = 0.0f;
    float amp = 0.5f;
    float norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * valueNoise(x, y, seed + static_cast<std::uint32_t>(i) * 101u);
        norm += amp;
        amp *= 0.5f;
        x = x * 2.03f + 17.1f;
        y = y * 2.03f + 5.7f;
    }
    return sum / norm;
}

// ---------------------------------------------------------------------------------------------
// Picture geometry

constexpr int kWidth = 376;
constexpr int kHeight = 372;
constexpr int kSS = 3;  // supersampling factor per axis
constexpr float kSSf = static_cast<float>(kSS);
constexpr int kSW = kWidth * kSS;
constexpr int kSH = kHeight * kSS;
constexpr std::size_t kSamples = static_cast<std::size_t>(kSW) * static_cast<std::size_t>(kSH);

constexpr float kHorizon = 208.0f;        // sea meets sky
constexpr V2 kSun{330.0f, 134.0f};        // low evening sun over open water
constexpr float kSunRadius = 10.0f;       // radius of the sun disc
constexpr float kShoreWater = 246.0f;     // waterline of the headland
constexpr float kPlaneWater = 322.0f;     // waterline of the near float
constexpr float kFarFloatWater = 318.0f;  // waterline of the far float
constexpr float kDockWater = 338.0f;      // where the jetty piles enter the water

// An RGBA image at supersampled resolution, straight (not premultiplied) alpha.
class Layer {
  public:
    Layer() : rgb_(kSamples), alpha_(kSamples, 0.0f) {}

    static std::size_t index(int sx, int sy) {
        return static_cast<std::size_t>(sy) * static_cast<std::size_t>(kSW) +
               static_cast<std::size_t>(sx);
    }

    // Porter-Duff "over" with colour c at opacity a.
    void paint(int sx, int sy, Rgb c, float a) {
        if (a <= 0.0f) {
            return;
        }
        a = std::min(a, 1.0f);
        const std::size_t i = index(sx, sy);
        const float below = alpha_[i] * (1.0f - a);
        const float out = a + below;
        rgb_[i] = (c * a + rgb_[i] * below) * (1.0f / out);
        alpha_[i] = out;
    }

    void erase(int sx, int sy) { alpha_[index(sx, sy)] = 0.0f; }

    Rgb rgb(int sx, int sy) const { return rgb_[index(sx, sy)]; }
    float alpha(int sx, int sy) const { return alpha_[index(sx, sy)]; }

    // Nearest sample at picture coordinates; opacity 0 outside the picture.
    float lookup(float x, float y, Rgb& out) const {
        const int sx = static_cast<int>(std::floor(x * kSSf));
        const int sy = static_cast<int>(std::floor(y * kSSf));
        if (sx < 0 || sy < 0 || sx >= kSW || sy >= kSH) {
            return 0.0f;
        }
        out = rgb(sx, sy);
        return alpha(sx, sy);
    }

    void drawOnto(Layer& target) const {
        for (int sy = 0; sy < kSH; ++sy) {
            for (int sx = 0; sx < kSW; ++sx) {
                target.paint(sx, sy, rgb(sx, sy), alpha(sx, sy));
            }
        }
    }

  private:
    std::vector<Rgb> rgb_;
    std::vector<float> alpha_;
};

// Calls fn(sx, sy, x, y) for every sample whose centre lies in the given box, where (sx, sy)
// are sample indices and (x, y) the sample centre in picture coordinates.
template <typename F>
void forSamples(float x0, float y0, float x1, float y1, F&& fn) {
    const int sx0 = std::max(0, static_cast<int>(std::floor(x0 * kSSf)));
    const int sy0 = std::max(0, static_cast<int>(std::floor(y0 * kSSf)));
    const int sx1 = std::min(kSW - 1, static_cast<int>(std::ceil(x1 * kSSf)));
    const int sy1 = std::min(kSH - 1, static_cast<int>(std::ceil(y1 * kSSf)));
    for (int sy = sy0; sy <= sy1; ++sy) {
        const float y = (static_cast<float>(sy) + 0.5f) / kSSf;
        for (int sx = sx0; sx <= sx1; ++sx) {
            const float x = (static_cast<float>(sx) + 0.5f) / kSSf;
            fn(sx, sy, x, y);
        }
    }
}

template <typename Shader>
void fillPolygon(Layer& layer, std::span<const V2> poly, Shader&& shader, float opacity = 1.0f) {
    float x0 = poly[0].x;
    float x1 = poly[0].x;
    float y0 = poly[0].y;
    float y1 = poly[0].y;
    for (const V2& p : poly) {
        x0 = std::min(x0, p.x);
        x1 = std::max(x1, p.x);
        y0 = std::min(y0, p.y);
        y1 = std::max(y1, p.y);
    }
    forSamples(x0, y0, x1, y1, [&](int sx, int sy, float x, float y) {
        if (insidePolygon(poly, x, y)) {
            layer.paint(sx, sy, shader(x, y), opacity);
        }
    });
}

void fillPolygon(Layer& layer, std::span<const V2> poly, Rgb colour, float opacity = 1.0f) {
    fillPolygon(
        layer, poly, [colour](float, float) { return colour; }, opacity);
}

// A stroke of the given radius between two points (round caps).
template <typename Shader>
void fillCapsule(Layer& layer, V2 a, V2 b, float radius, Shader&& shader, float opacity = 1.0f) {
    forSamples(std::min(a.x, b.x) - radius, std::min(a.y, b.y) - radius,
               std::max(a.x, b.x) + radius, std::max(a.y, b.y) + radius,
               [&](int sx, int sy, float x, float y) {
                   if (segmentDistance(a, b, x, y) <= radius) {
                       layer.paint(sx, sy, shader(x, y), opacity);
                   }
               });
}

void fillCapsule(Layer& layer, V2 a, V2 b, float radius, Rgb colour, float opacity = 1.0f) {
    fillCapsule(
        layer, a, b, radius, [colour](float, float) { return colour; }, opacity);
}

template <typename Shader>
void fillEllipse(Layer& layer, V2 c, float rx, float ry, Shader&& shader, float opacity = 1.0f) {
    forSamples(c.x - rx, c.y - ry, c.x + rx, c.y + ry, [&](int sx, int sy, float x, float y) {
        if (sq((x - c.x) / rx) + sq((y - c.y) / ry) <= 1.0f) {
            layer.paint(sx, sy, shader(x, y), opacity);
        }
    });
}

void fillEllipse(Layer& layer, V2 c, float rx, float ry, Rgb colour, float opacity = 1.0f) {
    fillEllipse(
        layer, c, rx, ry, [colour](float, float) { return colour; }, opacity);
}

// Rounded rectangle given by its edges.
template <typename Shader>
void fillRoundRect(Layer& layer, float x0, float y0, float x1, float y1, float radius,
                   Shader&& shader, float opacity = 1.0f) {
    forSamples(x0, y0, x1, y1, [&](int sx, int sy, float x, float y) {
        const float dx = std::max({x0 + radius - x, 0.0f, x - (x1 - radius)});
        const float dy = std::max({y0 + radius - y, 0.0f, y - (y1 - radius)});
        if (x >= x0 && x <= x1 && y >= y0 && y <= y1 && dx * dx + dy * dy <= radius * radius) {
            layer.paint(sx, sy, shader(x, y), opacity);
        }
    });
}

void fillRoundRect(Layer& layer, float x0, float y0, float x1, float y1, float radius, Rgb colour,
                   float opacity = 1.0f) {
    fillRoundRect(
        layer, x0, y0, x1, y1, radius, [colour](float, float) { return colour; }, opacity);
}

// ---------------------------------------------------------------------------------------------
// Ridgelines

// A horizon profile y(x) built by midpoint displacement between hand-placed control points.
// The control points give the composition; the displacement gives the rock its ragged edge.
class Ridge {
  public:
    Ridge(std::span<const V2> control, float roughness, float persistence, std::uint64_t seed)
        : x0_(control.front().x), x1_(control.back().x) {
        Rng rng(seed);
        std::vector<V2> points;
        points.push_back(control.front());
        for (std::size_t i = 0; i + 1 < control.size(); ++i) {
            const V2 a = control[i];
            const V2 b = control[i + 1];
            subdivide(a, b, roughness * (b.x - a.x), persistence, rng, points);
            points.push_back(b);
        }
        const std::size_t count = static_cast<std::size_t>((x1_ - x0_) * kStepsPerPixel) + 1;
        ys_.resize(count);
        std::size_t seg = 0;
        for (std::size_t i = 0; i < count; ++i) {
            const float x = x0_ + static_cast<float>(i) / kStepsPerPixel;
            while (seg + 2 < points.size() && points[seg + 1].x < x) {
                ++seg;
            }
            const V2 a = points[seg];
            const V2 b = points[seg + 1];
            ys_[i] = lerp(a.y, b.y, clamp01((x - a.x) / std::max(b.x - a.x, 1e-4f)));
        }
    }

    // Height of the ridge at x; far below the picture outside the ridge's extent.
    float at(float x) const {
        if (x < x0_ || x > x1_) {
            return 1e6f;
        }
        const float f = (x - x0_) * kStepsPerPixel;
        const std::size_t i = std::min(static_cast<std::size_t>(f), ys_.size() - 2);
        return lerp(ys_[i], ys_[i + 1], f - static_cast<float>(i));
    }

    float left() const { return x0_; }
    float right() const { return x1_; }

  private:
    static constexpr float kStepsPerPixel = 6.0f;

    static void subdivide(V2 a, V2 b, float amplitude, float persistence, Rng& rng,
                          std::vector<V2>& out) {
        if (b.x - a.x < 0.35f) {
            return;
        }
        const V2 m{(a.x + b.x) * 0.5f, (a.y + b.y) * 0.5f + rng.range(-amplitude, amplitude)};
        subdivide(a, m, amplitude * persistence, persistence, rng, out);
        out.push_back(m);
        subdivide(m, b, amplitude * persistence, persistence, rng, out);
    }

    float x0_;
    float x1_;
    std::vector<float> ys_;
};

// ---------------------------------------------------------------------------------------------
// Sky

struct Stop {
    float t;
    Rgb colour;
};

Rgb gradient(std::span<const Stop> stops, float t) {
    if (t <= stops.front().t) {
        return stops.front().colour;
    }
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (t <= stops[i].t) {
            const float f = (t - stops[i - 1].t) / (stops[i].t - stops[i - 1].t);
            return mix(stops[i - 1].colour, stops[i].colour, smoothstep(0.0f, 1.0f, f));
        }
    }
    return stops.back().colour;
}

constexpr std::array<Stop, 6> kSkyStops{{
    {0.00f, hex(0x123270)},
    {0.30f, hex(0x2A5C9E)},
    {0.55f, hex(0x5D8FC0)},
    {0.75f, hex(0xA9C3D6)},
    {0.90f, hex(0xEBDCC2)},
    {1.00f, hex(0xF8CF9C)},
}};

// Clear-sky colour, including the glow around the sun.
Rgb skyColour(float x, float y) {
    Rgb c = gradient(kSkyStops, clamp01(y / kHorizon));
    const float d = std::hypot(x - kSun.x, (y - kSun.y) * 1.35f);
    c = mix(c, hex(0xF8C890), 0.4f * std::exp(-d / 80.0f));
    c = mix(c, hex(0xFFE4B4), 0.85f * std::exp(-d / 22.0f));
    c = c + hex(0xFFC080) * (0.2f * std::exp(-d / 45.0f));
    return c;
}

void paintSky(Layer& layer) {
    forSamples(0.0f, 0.0f, static_cast<float>(kWidth), kHorizon + 2.0f,
               [&](int sx, int sy, float x, float y) {
                   Rgb c = skyColour(x, y);
                   const float d = std::hypot(x - kSun.x, y - kSun.y);
                   // Sun disc with a slightly brighter core.
                   const float disc = smoothstep(kSunRadius + 0.6f, kSunRadius - 0.6f, d);
                   c = mix(c, mix(hex(0xFFF6DC), hex(0xFFFFF8), smoothstep(kSunRadius, 3.0f, d)),
                           disc);
                   layer.paint(sx, sy, c, 1.0f);
               });
}

struct Cloud {
    float cx;
    float cy;
    float rx;
    float ry;
    float opacity;
    std::uint32_t seed;
};

// Thin evening clouds: flat undersides, soft tops, warmed on the side facing the sun.
void paintClouds(Layer& layer) {
    constexpr std::array<Cloud, 6> kClouds{{
        {246.0f, 52.0f, 92.0f, 9.0f, 0.80f, 301u},
        {322.0f, 92.0f, 58.0f, 6.5f, 0.85f, 302u},
        {132.0f, 122.0f, 96.0f, 6.0f, 0.70f, 303u},
        {54.0f, 84.0f, 52.0f, 6.0f, 0.55f, 304u},
        {200.0f, 96.0f, 40.0f, 4.0f, 0.55f, 305u},
        {362.0f, 38.0f, 46.0f, 7.0f, 0.60f, 306u},
    }};
    for (const Cloud& cl : kClouds) {
        forSamples(cl.cx - cl.rx * 1.3f, cl.cy - cl.ry * 3.0f, cl.cx + cl.rx * 1.3f,
                   cl.cy + cl.ry * 2.0f, [&](int sx, int sy, float x, float y) {
                       const float nx = (x - cl.cx) / cl.rx;
                       const float ny = (y - cl.cy) / cl.ry;
                       const float shape =
                           1.0f - nx * nx - (ny > 0.0f ? ny * ny * 2.2f : ny * ny * 0.45f);
                       const float n = fbm(x * 0.05f, y * 0.16f, cl.seed, 5);
                       const float dens = shape + (n - 0.5f) * 1.6f;
                       const float a = smoothstep(0.05f, 0.75f, dens) * cl.opacity;
                       if (a <= 0.0f) {
                           return;
                       }
                       // Top lit, underside in lavender shadow, rim glow near the sun.
                       const float lit = clamp01(0.62f - ny * 0.3f + (n - 0.5f) * 0.8f);
                       Rgb c = mix(hex(0x8C86A8), hex(0xFFF3E2), lit);
                       const float sunDist = std::hypot(x - kSun.x, y - kSun.y);
                       c = c + hex(0xFFB070) * (0.55f * std::exp(-sunDist / 60.0f));
                       c = mix(c, skyColour(x, y), 0.25f);
                       layer.paint(sx, sy, c, a);
                   });
    }
}

// ---------------------------------------------------------------------------------------------
// Mountains

struct RangeStyle {
    Rgb lit;          // rock facing the sun
    Rgb shade;        // rock facing away
    Rgb snowLit;      // snow in sunlight
    Rgb snowShade;    // snow in shadow, tinted by the sky
    float snowLine;   // snow above this height (picture y)
    float snowDepth;  // how far snow reaches down gullies
    float haze;       // aerial perspective, 0 = none
    std::uint32_t seed;
};

// Paints the mass below a ridgeline down to the horizon. Faces are lit when the ridge falls
// away to the right (towards the sun); the sampling window grows with depth below the crest so
// that the light/shadow split spreads downward from each peak like real facets.
void paintRange(Layer& layer, const Ridge& ridge, const RangeStyle& s) {
    float top = kHorizon;
    for (float x = ridge.left(); x <= ridge.right(); x += 0.5f) {
        top = std::min(top, ridge.at(x));
    }
    forSamples(std::max(0.0f, ridge.left()), top - 1.0f,
               std::min(static_cast<float>(kWidth), ridge.right()), kHorizon + 1.0f,
               [&](int sx, int sy, float x, float y) {
                   const float crest = ridge.at(x);
                   if (y < crest) {
                       return;
                   }
                   const float depth = y - crest;
                   const float w = 1.5f + depth * 0.45f;
                   const float slope = (ridge.at(x + w) - ridge.at(x - w)) / (2.0f * w);
                   // Spurs and gullies: a height field stretched down the fall line. Its
                   // sideways gradient lights one flank of every spur.
                   auto spur = [&](float sxp) {
                       return fbm(sxp * 0.075f + y * 0.012f, y * 0.028f, s.seed, 4);
                   };
                   const float spurHere = spur(x);
                   const float grad = (spur(x + 1.2f) - spur(x - 1.2f)) * 5.0f;
                   const float nearCrest = std::exp(-depth / 35.0f);
                   const float light =
                       smoothstep(-0.28f, 0.28f,
                                  slope * nearCrest + grad * (0.35f + 0.65f * (1.0f - nearCrest)));
                   const float grit = fbm(x * 0.35f, y * 0.35f, s.seed + 7u, 3);
                   Rgb c = mix(s.shade, s.lit, light) * (0.9f + 0.2f * grit);
                   // Snow above the snowline, reaching further down the gullies.
                   const float snowEdge =
                       s.snowLine + (0.5f - spurHere) * s.snowDepth * 2.0f + (grit - 0.5f) * 7.0f;
                   const float snow = smoothstep(snowEdge + 1.0f, snowEdge - 1.0f, y);
                   c = mix(c, mix(s.snowShade, s.snowLit, light) * (0.96f + 0.08f * grit), snow);
                   // Aerial perspective, thicker in the valley mist near the water.
                   const float mist = smoothstep(kHorizon - 45.0f, kHorizon, y) * 0.55f;
                   c = mix(c, skyColour(x, y), clamp01(s.haze + (1.0f - s.haze) * mist));
                   layer.paint(sx, sy, c, 1.0f);
               });
}

// Low hills along the far shore, their skyline roughened by a band of tiny spruce tips.
void paintForestedHills(Layer& layer, const Ridge& ridge, Rgb dark, Rgb lit, float haze,
                        std::uint32_t seed) {
    constexpr float kSpacing = 2.4f;
    auto treeTop = [&](float x) {
        const float base = ridge.at(x);
        const int k = static_cast<int>(std::floor(x / kSpacing));
        float best = 0.0f;
        float side = 0.0f;
        for (int j = k - 2; j <= k + 2; ++j) {
            const float cx =
                (static_cast<float>(j) + 0.5f) * kSpacing + (hash1(j, seed) - 0.5f) * 1.2f;
            const float h = 1.5f + hash1(j, seed + 1u) * 3.0f;
            const float v = h - std::fabs(x - cx) * 2.6f;
            if (v > best) {
                best = v;
                side = x - cx;
            }
        }
        return std::pair<float, float>{base - best, side};
    };
    forSamples(
        std::max(0.0f, ridge.left()), 140.0f, std::min(static_cast<float>(kWidth), ridge.right()),
        kHorizon + 1.0f, [&](int sx, int sy, float x, float y) {
            const auto [crest, side] = treeTop(x);
            if (y < crest) {
                return;
            }
            // Below the skyline the slope is a mat of small crowns in staggered rows,
            // each lit on its right-hand side.
            const float depth = y - crest;
            const float rowPos = depth / 2.2f;
            const int row = static_cast<int>(std::floor(rowPos));
            const float across = fract((x + hash1(row, seed + 9u) * kSpacing) / kSpacing) - 0.5f;
            const float lean = depth < 2.0f ? side : across * 1.6f;
            const float n = fbm(x * 0.3f, y * 0.4f, seed + 5u, 3);
            Rgb c = mix(dark, lit,
                        clamp01(0.4f + lean * 0.6f + (n - 0.5f) * 0.9f - fract(rowPos) * 0.25f));
            const float mist = smoothstep(kHorizon - 22.0f, kHorizon, y) * 0.5f;
            c = mix(c, skyColour(x, y), clamp01(haze + mist));
            layer.paint(sx, sy, c, 1.0f);
        });
}

void paintMountains(Layer& layer) {
    // Farthest range: big, pale, heavily hazed, running off towards the open sea on the right.
    constexpr std::array<V2, 10> kFar{{{-4.0f, 150.0f},
                                       {40.0f, 132.0f},
                                       {96.0f, 118.0f},
                                       {150.0f, 100.0f},
                                       {196.0f, 86.0f},
                                       {232.0f, 112.0f},
                                       {258.0f, 104.0f},
                                       {296.0f, 150.0f},
                                       {340.0f, 190.0f},
                                       {390.0f, 206.0f}}};
    const Ridge far(kFar, 0.16f, 0.56f, 1001u);
    paintRange(
        layer, far,
        {hex(0xC9B7C4), hex(0x8796BA), hex(0xFFF1E6), hex(0xB9C6E4), 122.0f, 30.0f, 0.42f, 11u});

    // Middle range on the left, darker and crisper.
    constexpr std::array<V2, 8> kMid{{{-4.0f, 128.0f},
                                      {26.0f, 112.0f},
                                      {68.0f, 96.0f},
                                      {104.0f, 126.0f},
                                      {138.0f, 150.0f},
                                      {176.0f, 142.0f},
                                      {214.0f, 176.0f},
                                      {250.0f, 210.0f}}};
    const Ridge mid(kMid, 0.17f, 0.56f, 2002u);
    paintRange(
        layer, mid,
        {hex(0xA58F94), hex(0x4F5F86), hex(0xFFF4EA), hex(0x9FB0D6), 116.0f, 26.0f, 0.16f, 22u});

    // Low forested hills along the shore behind the headland.
    constexpr std::array<V2, 6> kHills{{{-4.0f, 166.0f},
                                        {40.0f, 172.0f},
                                        {92.0f, 178.0f},
                                        {150.0f, 186.0f},
                                        {200.0f, 198.0f},
                                        {236.0f, 210.0f}}};
    const Ridge hills(kHills, 0.08f, 0.5f, 3003u);
    paintForestedHills(layer, hills, hex(0x1F3A40), hex(0x4D6B55), 0.28f, 33u);

    // A low island far out on the right.
    constexpr std::array<V2, 5> kIsland{
        {{338.0f, 209.0f}, {350.0f, 203.0f}, {364.0f, 200.0f}, {372.0f, 202.0f}, {382.0f, 204.0f}}};
    const Ridge island(kIsland, 0.12f, 0.55f, 4004u);
    paintForestedHills(layer, island, hex(0x4A5A6E), hex(0x8A8E98), 0.45f, 44u);
}

// A few gulls riding the evening air: two curved wing strokes each.
void paintGulls(Layer& layer) {
    constexpr std::array<std::array<float, 3>, 4> kGulls{{
        {126.0f, 150.0f, 3.4f},
        {138.0f, 143.0f, 2.8f},
        {150.0f, 153.0f, 2.4f},
        {268.0f, 178.0f, 2.2f},
    }};
    for (const auto& g : kGulls) {
        const float x = g[0];
        const float y = g[1];
        const float span = g[2];
        const Rgb white = hex(0xFBF7EE);
        fillCapsule(layer, {x - span, y - span * 0.35f}, {x - span * 0.45f, y - span * 0.5f}, 0.4f,
                    white);
        fillCapsule(layer, {x - span * 0.45f, y - span * 0.5f}, {x, y}, 0.4f, white);
        fillCapsule(layer, {x, y}, {x + span * 0.45f, y - span * 0.5f}, 0.4f, white);
        fillCapsule(layer, {x + span * 0.45f, y - span * 0.5f}, {x + span, y - span * 0.35f}, 0.4f,
                    white);
    }
}

// ---------------------------------------------------------------------------------------------
// Headland: forest, granite knoll, red boathouse and lighthouse

constexpr std::array<V2, 12> kHeadlandControl{{{-4.0f, 190.0f},
                                               {20.0f, 195.0f},
                                               {50.0f, 202.0f},
                                               {80.0f, 210.0f},
                                               {104.0f, 218.0f},
                                               {120.0f, 224.0f},
                                               {134.0f, 228.0f},
                                               {148.0f, 228.5f},
                                               {160.0f, 230.0f},
                                               {172.0f, 236.0f},
                                               {182.0f, 243.0f},
                                               {190.0f, 247.0f}}};

constexpr float kLighthouseX = 152.0f;
constexpr float kForestEnd = 120.0f;

// One spruce: a narrow cone built of drooping tiers, lit from the right.
void paintSpruce(Layer& layer, float cx, float baseY, float height, Rgb dark, Rgb lit,
                 std::uint32_t seed) {
    const float tipY = baseY - height;
    const float tiers = 4.0f + std::floor(height / 4.0f);
    forSamples(cx - height * 0.4f, tipY, cx + height * 0.4f, baseY,
               [&](int sx, int sy, float x, float y) {
                   const float d = y - tipY;
                   const float tier = fract(d / height * tiers);
                   const float hw = d * 0.27f * (0.72f + 0.45f * tier) + 0.3f;
                   const float u = (x - cx) / hw;
                   if (std::fabs(u) > 1.0f) {
                       return;
                   }
                   const float n = valueNoise(x * 1.3f, y * 1.3f, seed);
                   Rgb c = mix(dark, lit, smoothstep(-0.3f, 0.7f, u + (n - 0.5f) * 0.6f));
                   c = c * (1.05f - 0.3f * (d / height) + 0.25f * (tier - 0.5f) * 0.4f);
                   layer.paint(sx, sy, c, 1.0f);
               });
}

void paintBoathouse(Layer& layer, const Ridge& land) {
    // Falu-red boathouse with white trim, gable towards the viewer's right.
    const float x0 = 118.0f;
    const float x1 = 135.0f;
    const float base = std::max(land.at(x0), land.at(x1)) + 1.5f;
    const float eave = base - 9.0f;
    const Rgb wall = hex(0x9E2A22);
    const Rgb wallLit = hex(0xC2452F);
    const Rgb trim = hex(0xF2EADC);
    const Rgb roof = hex(0x2E2C34);
    // Side wall and gable end.
    fillPolygon(layer,
                std::array<V2, 4>{{{x0, eave}, {x1 - 6.0f, eave}, {x1 - 6.0f, base}, {x0, base}}},
                wall);
    fillPolygon(layer,
                std::array<V2, 5>{{{x1 - 6.0f, eave},
                                   {x1 - 2.6f, eave - 4.5f},
                                   {x1 + 0.5f, eave},
                                   {x1 + 0.5f, base},
                                   {x1 - 6.0f, base}}},
                wallLit);
    // Roof seen from the side.
    fillPolygon(layer,
                std::array<V2, 4>{{{x0 - 1.2f, eave + 0.5f},
                                   {x0 + 2.0f, eave - 4.8f},
                                   {x1 - 2.6f, eave - 4.8f},
                                   {x1 - 6.0f, eave + 0.5f}}},
                [&](float, float y) { return mix(hex(0x4A4650), roof, (y - eave + 4.8f) / 5.3f); });
    // Trim: corner boards, barge board, door and a window.
    fillCapsule(layer, {x1 - 6.0f, eave}, {x1 - 6.0f, base}, 0.45f, trim);
    fillCapsule(layer, {x1 + 0.3f, eave}, {x1 + 0.3f, base}, 0.4f, trim);
    fillCapsule(layer, {x1 - 6.0f, eave}, {x1 - 2.6f, eave - 4.5f}, 0.45f, trim);
    fillCapsule(layer, {x1 - 2.6f, eave - 4.5f}, {x1 + 0.5f, eave}, 0.45f, trim);
    fillRoundRect(layer, x1 - 4.6f, base - 6.0f, x1 - 0.8f, base, 0.3f, hex(0x5A1A16));
    fillRoundRect(layer, x0 + 3.5f, eave + 2.2f, x0 + 6.5f, eave + 5.0f, 0.3f, trim);
    fillRoundRect(layer, x0 + 4.1f, eave + 2.8f, x0 + 5.9f, eave + 4.4f, 0.1f, hex(0x303848));
}

void paintLighthouse(Layer& layer, const Ridge& land) {
    const float cx = kLighthouseX;
    const float base = land.at(cx) + 2.0f;
    const float top = base - 27.0f;
    const Rgb whiteLit = hex(0xFBF6EC);
    const Rgb whiteShade = hex(0xA9B2CC);
    const Rgb red = hex(0xC42A22);
    const Rgb redShade = hex(0x7A1E24);
    // Soft lamp glow behind everything.
    forSamples(cx - 14.0f, top - 20.0f, cx + 14.0f, top + 8.0f,
               [&](int sx, int sy, float x, float y) {
                   const float d = std::hypot(x - cx, y - (top - 5.0f));
                   layer.paint(sx, sy, hex(0xFFE7A8), 0.35f * std::exp(-d * d / 40.0f));
               });
    // Tapered tower with a red band; shaded round form.
    forSamples(cx - 6.0f, top, cx + 6.0f, base, [&](int sx, int sy, float x, float y) {
        const float t = (y - top) / (base - top);
        const float hw = lerp(3.0f, 4.6f, t);
        const float u = (x - cx) / hw;
        if (std::fabs(u) > 1.0f) {
            return;
        }
        const float light = smoothstep(-0.8f, 0.6f, u);
        const bool band = t > 0.38f && t < 0.62f;
        Rgb c = band ? mix(redShade, red, light) : mix(whiteShade, whiteLit, light);
        c = c * (0.92f + 0.08f * std::sqrt(1.0f - u * u));
        layer.paint(sx, sy, c, 1.0f);
    });
    // Gallery, lantern and cap.
    fillRoundRect(layer, cx - 4.6f, top - 1.6f, cx + 4.6f, top + 0.4f, 0.4f, hex(0x2A2A32));
    fillRoundRect(layer, cx - 2.4f, top - 6.4f, cx + 2.4f, top - 1.4f, 0.2f, [&](float x, float) {
        return mix(hex(0xFFD27A), hex(0xFFF6D8), (x - cx + 2.4f) / 4.8f);
    });
    fillCapsule(layer, {cx, top - 6.3f}, {cx, top - 1.6f}, 0.3f, hex(0x3A3A40));
    fillPolygon(
        layer,
        std::array<V2, 3>{{{cx - 3.4f, top - 6.2f}, {cx, top - 10.2f}, {cx + 3.4f, top - 6.2f}}},
        [&](float x, float) { return mix(redShade, red, smoothstep(-2.0f, 2.0f, x - cx)); });
    fillEllipse(layer, {cx, top - 10.6f}, 0.8f, 0.8f, hex(0x2A2A32));
    // Door.
    fillRoundRect(layer, cx - 1.2f, base - 5.2f, cx + 1.2f, base - 1.0f, 0.5f, hex(0x3A3440));
}

void paintHeadland(Layer& layer) {
    const Ridge land(kHeadlandControl, 0.05f, 0.55f, 5005u);

    // Granite body of the headland; bare rock shows on the knoll by the lighthouse.
    forSamples(0.0f, 185.0f, 192.0f, kShoreWater + 0.5f, [&](int sx, int sy, float x, float y) {
        const float crest = land.at(x);
        if (y < crest || y > kShoreWater) {
            return;
        }
        const float depth = y - crest;
        const float w = 2.0f + depth * 0.5f;
        const float slope = (land.at(x + w) - land.at(x - w)) / (2.0f * w);
        const float cracks = fbm(x * 0.3f + y * 0.12f, y * 0.22f, 71u, 4);
        const float light = smoothstep(-0.2f, 0.5f, slope + (cracks - 0.5f) * 1.2f);
        Rgb c = mix(hex(0x5E5462), hex(0xD2A88C), light) * (0.8f + 0.4f * cracks);
        // Tufts of heather and grass on top of the knoll.
        const float grass = smoothstep(0.55f, 0.7f, fbm(x * 0.35f, y * 0.5f, 72u, 3)) *
                            smoothstep(6.0f, 1.0f, depth);
        c = mix(c, mix(hex(0x5C6A34), hex(0xA5A455), light), grass * 0.85f);
        // Wet, darker rock and weed along the tide line.
        const float tide = smoothstep(kShoreWater - 5.0f, kShoreWater - 1.0f, y);
        c = mix(c, hex(0x3A3426), tide * 0.75f);
        c = mix(c, skyColour(x, y), 0.1f);
        layer.paint(sx, sy, c, 1.0f);
    });

    // Forest: rows of spruces from the skyline down to the shore, back to front.
    Rng rng(6006u);
    for (int row = 0; row < 14; ++row) {
        const float rowOffset = 2.0f + static_cast<float>(row) * 4.2f;
        float x = -4.0f + rng.range(0.0f, 3.0f);
        while (x < kForestEnd - static_cast<float>(row) * 1.5f) {
            const float base = land.at(x) + rowOffset + rng.range(-1.0f, 1.0f);
            const float height = row == 0 ? rng.range(11.0f, 19.0f) : rng.range(8.0f, 13.0f);
            const float haze = 0.12f;
            if (base < kShoreWater - 4.0f) {
                const Rgb dark = mix(hex(0x14302A), skyColour(x, 200.0f), haze);
                const Rgb lit = mix(mix(hex(0x4E7A44), hex(0x7A8A46), rng.uniform()),
                                    skyColour(x, 200.0f), haze);
                paintSpruce(layer, x, base, height, dark, lit,
                            static_cast<std::uint32_t>(row * 97));
            } else {
                (void)rng.uniform();
            }
            x += rng.range(2.6f, 4.4f);
        }
    }
    // A few stragglers on the knoll.
    for (const float sx : {126.0f, 141.0f, 163.0f}) {
        paintSpruce(layer, sx, land.at(sx) + 1.5f, 7.0f, hex(0x1A3530), hex(0x5E7E48), 9u);
    }

    // Shore boulders along the waterline.
    for (int i = 0; i < 34; ++i) {
        const float bx = static_cast<float>(i) * 5.6f + rng.range(-1.5f, 1.5f);
        if (bx > 186.0f) {
            break;
        }
        const float r = rng.range(1.8f, 3.6f);
        fillEllipse(layer, {bx, kShoreWater - r * 0.45f}, r * 1.3f, r * 0.75f,
                    [&](float x, float y) {
                        const float u = (x - bx) / (r * 1.3f);
                        const float v = (y - (kShoreWater - r * 0.45f)) / (r * 0.75f);
                        const float light = clamp01(0.5f + u * 0.4f - v * 0.5f);
                        return mix(hex(0x3E3A40), hex(0xB99884), light);
                    });
    }

    paintBoathouse(layer, land);
    paintLighthouse(layer, land);

    // Cut everything at the waterline.
    forSamples(0.0f, kShoreWater, static_cast<float>(kWidth), static_cast<float>(kHeight),
               [&](int sx, int sy, float, float y) {
                   if (y > kShoreWater) {
                       layer.erase(sx, sy);
                   }
               });
}

// ---------------------------------------------------------------------------------------------
// Float plane (side view, facing right, moored)

float fuselageTop(float x) {
    if (x >= 313.0f) {  // cowling
        const float f = std::max(0.0f, (x - 321.0f) / 9.0f);
        return 279.0f + 5.5f * f * f;
    }
    if (x >= 297.0f) {  // windscreen
        return lerp(272.0f, 279.0f, smoothstep(297.0f, 313.0f, x) * 0.5f + (x - 297.0f) / 32.0f);
    }
    if (x >= 236.0f) {  // cabin roof
        return 272.0f;
    }
    const float f = (236.0f - x) / 60.0f;  // tail cone
    return 272.0f + 8.0f * std::pow(f, 1.3f);
}

float fuselageBottom(float x) {
    if (x >= 313.0f) {
        const float f = std::max(0.0f, (x - 321.0f) / 9.0f);
        return 302.5f - 5.0f * f * f;
    }
    if (x >= 244.0f) {
        return 302.5f + 0.8f * std::sin((x - 244.0f) / 69.0f * std::numbers::pi_v<float>);
    }
    const float f = (244.0f - x) / 68.0f;
    return 302.5f - 15.5f * smoothstep(0.0f, 1.0f, f);
}

constexpr float kNose = 330.0f;
constexpr float kTail = 176.0f;

// Float (pontoon) profile: upturned bow to the right, stepped planing bottom, tapered stern.
float floatTop(float x) {
    if (x > 318.0f) {
        return 312.0f - 4.0f * sq((x - 318.0f) / 20.0f);
    }
    if (x < 232.0f) {
        return 312.0f + 2.0f * (232.0f - x) / 34.0f;
    }
    return 312.0f;
}

float floatBottom(float x) {
    if (x > 300.0f) {
        return 324.0f - 16.0f * sq((x - 300.0f) / 38.0f);
    }
    if (x < 262.0f) {  // behind the step the bottom sweeps up towards the stern
        return 322.6f - 9.0f * sq((262.0f - x) / 64.0f);
    }
    return 324.0f;
}

constexpr float kFloatBow = 338.0f;
constexpr float kFloatStern = 198.0f;

void paintFloat(Layer& layer, float dx, float dy, float waterline, float dim) {
    forSamples(kFloatStern + dx, 300.0f + dy, kFloatBow + dx, 325.0f + dy,
               [&](int sx, int sy, float x, float y) {
                   const float lx = x - dx;
                   const float ly = y - dy;
                   if (lx < kFloatStern || lx > kFloatBow || y > waterline) {
                       return;
                   }
                   const float t = floatTop(lx);
                   const float b = floatBottom(lx);
                   if (ly < t || ly > b) {
                       return;
                   }
                   const float v = (ly - t) / (b - t);
                   // Aluminium: bright deck edge, a chine line, darker hull towards the water.
                   Rgb c = mix(hex(0xD4DAE0), hex(0x5E6B7C), smoothstep(0.1f, 0.95f, v));
                   if (ly - t < 1.1f) {
                       c = hex(0xFBFCFD);
                   } else if (ly - t < 1.8f) {
                       c = hex(0x8E98A6);
                   }
                   if (std::fabs(v - 0.48f) < 0.04f) {
                       c = c * 0.7f;
                   }
                   c = mix(c, hex(0x3E6A92), smoothstep(0.75f, 1.0f, v) * 0.3f);
                   c = c + hex(0xFFB070) * (0.1f * smoothstep(300.0f, 338.0f, lx));
                   // Red stripe near the bow.
                   if (lx > 320.0f && v > 0.22f && v < 0.36f) {
                       c = hex(0xC8302A);
                   }
                   layer.paint(sx, sy, c * dim, 1.0f);
               });
}

void paintStrut(Layer& layer, V2 a, V2 b, float radius, float dim) {
    const float len = std::hypot(b.x - a.x, b.y - a.y);
    const V2 n{-(b.y - a.y) / len, (b.x - a.x) / len};
    fillCapsule(layer, a, b, radius, [&](float x, float y) {
        const float side = ((x - a.x) * n.x + (y - a.y) * n.y) / radius;
        return mix(hex(0x9AA0AA), hex(0x3A3C44), smoothstep(-1.0f, 0.8f, side)) * dim;
    });
}

void paintPlane(Layer& layer) {
    const Rgb cream = hex(0xF3E7CB);
    const Rgb red = hex(0xC7261F);
    const Rgb redDark = hex(0x6E1418);

    // Far float and struts first; they sit a little higher (further away) and darker.
    constexpr float kFarDx = 7.0f;
    constexpr float kFarDy = -4.0f;
    paintStrut(layer, {262.0f + kFarDx, 312.5f + kFarDy}, {259.0f + kFarDx, 300.0f}, 1.1f, 0.7f);
    paintStrut(layer, {302.0f + kFarDx, 312.5f + kFarDy}, {306.0f + kFarDx, 300.0f}, 1.1f, 0.7f);
    paintFloat(layer, kFarDx, kFarDy, kFarFloatWater, 0.72f);

    // Tail fin and rudder, behind the fuselage.
    const std::array<V2, 7> fin{{{214.0f, 273.0f},
                                 {191.0f, 252.0f},
                                 {180.0f, 249.5f},
                                 {175.0f, 251.5f},
                                 {173.5f, 262.0f},
                                 {174.5f, 285.0f},
                                 {190.0f, 282.0f}}};
    fillPolygon(layer, fin, [&](float x, float y) {
        const float light = clamp01(0.75f - (y - 250.0f) / 60.0f + (x - 180.0f) / 120.0f);
        Rgb c = mix(redDark, red, light);
        // Cream flash across the fin.
        if (y > 257.0f && y < 260.5f) {
            c = mix(c, cream, 0.95f);
        }
        return c;
    });
    fillCapsule(layer, {182.0f, 250.5f}, {180.5f, 283.0f}, 0.35f, redDark, 0.8f);

    // Fuselage: cream with a red cheatline, red cowling; shaded as a cylinder.
    forSamples(kTail - 1.0f, 270.0f, kNose + 1.0f, 305.0f, [&](int sx, int sy, float x, float y) {
        if (x < kTail || x > kNose) {
            return;
        }
        const float t = fuselageTop(x);
        const float b = fuselageBottom(x);
        if (x < kTail + 2.5f) {  // rounded tail end
            const float r = (b - t) * 0.5f;
            const float cy = (t + b) * 0.5f;
            if (sq((x - (kTail + 2.5f)) / 2.5f) + sq((y - cy) / r) > 1.0f) {
                return;
            }
        }
        if (y < t || y > b) {
            return;
        }
        const float v = (y - t) / (b - t);
        const float shade =
            1.06f - 0.38f * std::pow(v, 1.6f) + 0.08f * std::exp(-sq((v - 0.18f) / 0.1f));
        Rgb base = cream;
        if (x > 312.0f) {
            base = red;
        } else if (v > 0.56f && v < 0.7f) {
            base = red;
        } else if (v >= 0.7f && v < 0.74f) {
            base = redDark;
        }
        Rgb c = base * shade;
        // Cool reflected light from the water on the belly; warm sunlight on the nose.
        c = mix(c, hex(0x7A98B4), smoothstep(0.8f, 1.0f, v) * 0.3f);
        c = c + hex(0xFFB070) * (0.12f * smoothstep(300.0f, 330.0f, x));
        layer.paint(sx, sy, c, 1.0f);
    });

    // Cowling joint and exhaust stub.
    fillCapsule(layer, {313.0f, 280.0f}, {313.0f, 301.5f}, 0.35f, redDark, 0.8f);
    fillCapsule(layer, {320.0f, 300.5f}, {312.5f, 303.5f}, 0.9f, hex(0x2E2A2C));

    // Door and panel seams.
    fillCapsule(layer, {263.0f, 274.0f}, {263.0f, 300.5f}, 0.3f, hex(0xA89C86));
    fillCapsule(layer, {283.0f, 274.0f}, {283.0f, 300.5f}, 0.3f, hex(0xA89C86));
    fillCapsule(layer, {240.0f, 272.5f}, {240.0f, 302.5f}, 0.25f, hex(0xB8AC94));

    // Windows with a sky reflection streak.
    auto glass = [](float x, float y) {
        Rgb c = mix(hex(0x1E2D48), hex(0x6C98BE), smoothstep(275.0f, 288.0f, y));
        const float streak = std::fabs(fract((x + y * 0.8f) / 14.0f) - 0.5f);
        return mix(c, hex(0xC8DCEB), smoothstep(0.1f, 0.02f, streak) * 0.55f);
    };
    fillRoundRect(layer, 247.3f, 276.0f, 261.2f, 286.2f, 2.0f, hex(0xB0A48C));
    fillRoundRect(layer, 248.0f, 276.7f, 260.5f, 285.5f, 1.6f, glass);
    fillRoundRect(layer, 265.0f, 275.5f, 281.2f, 287.2f, 2.0f, hex(0xB0A48C));
    fillRoundRect(layer, 265.7f, 276.2f, 280.5f, 286.5f, 1.6f, glass);
    fillRoundRect(layer, 284.8f, 275.5f, 296.6f, 287.2f, 2.0f, hex(0xB0A48C));
    fillRoundRect(layer, 285.5f, 276.2f, 295.9f, 286.5f, 1.6f, glass);
    const std::array<V2, 4> windscreen{
        {{298.6f, 274.4f}, {310.6f, 280.4f}, {310.6f, 286.5f}, {298.6f, 286.5f}}};
    fillPolygon(layer, windscreen, glass);

    // Wing: seen edge-on as its airfoil section, sitting on the cabin roof.
    forSamples(248.0f, 260.0f, 300.0f, 274.0f, [&](int sx, int sy, float x, float y) {
        const float c = (298.5f - x) / 46.0f;  // 0 at the leading edge
        if (c < 0.0f || c > 1.0f) {
            return;
        }
        const float half = 0.2969f * std::sqrt(c) - 0.126f * c - 0.3516f * c * c +
                           0.2843f * c * c * c - 0.1015f * c * c * c * c;
        const float th = half / 0.06f * 2.6f;
        const float upper = 271.0f - th * 1.5f;
        const float lower = 271.0f + th * 0.3f + 0.6f;
        if (y < upper || y > lower) {
            return;
        }
        const float v = (y - upper) / (lower - upper);
        Rgb col = mix(red * 1.12f, redDark, smoothstep(0.15f, 1.0f, v));
        col = mix(col, hex(0xFFD9B0), smoothstep(0.2f, 0.0f, v) * 0.45f);
        layer.paint(sx, sy, col, 1.0f);
    });
    // Shadow line where the wing meets the roof.
    fillCapsule(layer, {255.0f, 272.6f}, {294.0f, 272.6f}, 0.45f, hex(0x8A7A66), 0.6f);

    // Horizontal tailplane.
    forSamples(164.0f, 277.0f, 200.0f, 286.0f, [&](int sx, int sy, float x, float y) {
        const float c = (199.0f - x) / 34.0f;
        if (c < 0.0f || c > 1.0f) {
            return;
        }
        const float th = (1.0f - c * 0.8f) * std::sqrt(c) * 3.0f + 0.4f;
        if (y < 281.5f - th || y > 281.5f + th * 0.6f + 0.4f) {
            return;
        }
        layer.paint(sx, sy,
                    mix(cream, red, smoothstep(0.55f, 0.6f, c)) * (y < 281.5f ? 1.02f : 0.8f),
                    1.0f);
    });

    // Wing strut (crosses in front of the cabin, as it runs out to the near wing).
    paintStrut(layer, {257.0f, 301.5f}, {280.0f, 272.5f}, 1.05f, 1.0f);

    // Float struts and the near float.
    paintStrut(layer, {262.0f, 312.5f}, {259.0f, 302.0f}, 1.25f, 1.0f);
    paintStrut(layer, {302.0f, 312.5f}, {306.0f, 302.0f}, 1.25f, 1.0f);
    paintStrut(layer, {262.0f, 310.5f}, {304.0f, 303.0f}, 0.55f, 0.9f);
    paintFloat(layer, 0.0f, 0.0f, kPlaneWater, 1.0f);

    // Spinner and a stopped two-blade propeller.
    fillEllipse(layer, {331.0f, 290.5f}, 3.6f, 4.6f, [&](float x, float y) {
        const float light = clamp01(0.8f - (y - 287.0f) / 9.0f + (x - 331.0f) / 8.0f);
        return mix(hex(0x6E727C), hex(0xF4F6F8), light);
    });
    fillCapsule(layer, {333.0f, 290.0f}, {334.6f, 268.0f}, 1.5f, [&](float x, float) {
        return mix(hex(0x24242A), hex(0x5A5C66), clamp01((x - 332.5f) / 3.0f));
    });
    fillCapsule(layer, {333.0f, 291.0f}, {332.0f, 307.5f}, 1.5f, [&](float x, float) {
        return mix(hex(0x24242A), hex(0x5A5C66), clamp01((x - 331.0f) / 3.0f));
    });
    fillCapsule(layer, {334.5f, 269.5f}, {334.4f, 271.5f}, 1.3f, hex(0xF2C230));
    fillCapsule(layer, {332.1f, 305.5f}, {332.0f, 307.2f}, 1.3f, hex(0xF2C230));
}

// ---------------------------------------------------------------------------------------------
// Jetty

void paintDock(Layer& layer) {
    constexpr float kDeckTop = 313.5f;
    constexpr float kDeckFront = 319.5f;
    constexpr float kBeamBottom = 325.0f;
    constexpr float kEnd = 151.0f;
    constexpr std::array<float, 5> kPiles{{7.0f, 45.0f, 83.0f, 121.0f, 147.5f}};
    const Rgb pile = hex(0x4A3426);
    const Rgb pileLit = hex(0x9A7452);

    // Cross bracing under the deck, between the piles.
    for (std::size_t i = 0; i + 1 < kPiles.size(); ++i) {
        fillCapsule(layer, {kPiles[i], kBeamBottom + 0.5f}, {kPiles[i + 1], kDockWater - 2.0f},
                    0.8f, hex(0x3A2A20));
    }
    // Piles, sticking up as bollards at the far end.
    for (const float px : kPiles) {
        const float top = px > 140.0f ? kDeckTop - 4.0f : kDeckFront;
        fillRoundRect(layer, px - 2.3f, top, px + 2.3f, kDockWater + 3.0f, 0.8f,
                      [&](float x, float y) {
                          Rgb c = mix(pile, pileLit, smoothstep(-1.0f, 2.0f, x - px));
                          // Weed and wet wood near the water.
                          c = mix(c, hex(0x2C3A24), smoothstep(kDockWater - 6.0f, kDockWater, y));
                          return c;
                      });
    }
    // Deck planks, seen from slightly above: their ends run into the picture.
    forSamples(0.0f, kDeckTop, kEnd, kDeckFront, [&](int sx, int sy, float x, float y) {
        if (x > kEnd) {
            return;
        }
        const float slant = x + (y - kDeckTop) * 0.35f;
        const int plank = static_cast<int>(std::floor(slant / 4.3f));
        const float along = fract(slant / 4.3f);
        const float grain = fbm(slant * 2.0f, y * 0.6f, 81u, 3);
        Rgb c = mix(hex(0x8A6444), hex(0xC99B68), 0.45f + 0.35f * hash1(plank, 82u));
        c = c * (0.88f + 0.24f * grain);
        c = c * (0.85f + 0.15f * smoothstep(kDeckTop, kDeckTop + 3.0f, y));
        if (along < 0.12f) {
            c = c * 0.55f;  // seam
        }
        layer.paint(sx, sy, c + hex(0xFFB070) * 0.06f, 1.0f);
    });
    // Front stringer.
    fillRoundRect(layer, -1.0f, kDeckFront, kEnd + 0.5f, kBeamBottom, 0.6f, [&](float x, float y) {
        const float grain = fbm(x * 0.15f, y * 1.5f, 83u, 3);
        Rgb c = mix(hex(0x7A5538), hex(0x4A3224), smoothstep(kDeckFront, kBeamBottom, y));
        return c * (0.85f + 0.3f * grain);
    });
    // Bolt heads on the stringer in front of each pile.
    for (const float px : kPiles) {
        fillEllipse(layer, {px, kDeckFront + 2.8f}, 0.7f, 0.7f, hex(0x2A2624));
    }

    // A red fuel drum and a crate on the deck.
    fillRoundRect(layer, 18.0f, 301.0f, 28.0f, kDeckTop + 2.5f, 1.0f, [&](float x, float y) {
        const float u = (x - 23.0f) / 5.0f;
        Rgb c = mix(hex(0x5E1712), hex(0xE0533A), smoothstep(-0.9f, 0.6f, u));
        if (std::fabs(y - 305.5f) < 0.5f || std::fabs(y - 311.0f) < 0.5f) {
            c = c * 0.7f;
        }
        return c;
    });
    fillEllipse(layer, {23.0f, 301.3f}, 5.0f, 1.2f, hex(0xA8442E));
    fillRoundRect(layer, 31.0f, 306.0f, 41.5f, kDeckTop + 2.5f, 0.5f, [&](float x, float y) {
        Rgb c = mix(hex(0x9A7A50), hex(0xD0B080), smoothstep(31.0f, 41.0f, x));
        if (std::fabs(y - 310.5f) < 0.45f || std::fabs(x - 36.2f) < 0.45f) {
            c = c * 0.72f;
        }
        return c;
    });
}

// ---------------------------------------------------------------------------------------------
// Sea and reflections

struct Reflector {
    const Layer* layer;
    float waterline;
    float strength;
};

void paintSea(Layer& canvas, const Layer& backdrop, std::span<const Reflector> reflectors) {
    constexpr std::array<Stop, 4> kDeep{{
        {0.00f, hex(0x8C9AAE)},
        {0.20f, hex(0x456E92)},
        {0.55f, hex(0x1F4A70)},
        {1.00f, hex(0x0E2742)},
    }};
    const float seaDepth = static_cast<float>(kHeight) - kHorizon;
    forSamples(0.0f, kHorizon, static_cast<float>(kWidth), static_cast<float>(kHeight),
               [&](int sx, int sy, float x, float y) {
                   if (y < kHorizon) {
                       return;
                   }
                   const float d = y - kHorizon;
                   const float p = d / seaDepth;
                   // Perspective coordinates for the wave pattern: long, thin streaks that get
                   // larger and further apart towards the viewer.
                   const float v = 24.0f * std::log(d + 5.0f);
                   const float u = (x - 188.0f) / (d + 5.0f) * 3.0f;
                   const float wave = fbm(u, v, 91u, 4);
                   const float ripple = fbm(u * 3.0f, v * 1.6f, 92u, 3);
                   const float c0 = wave - 0.5f;

                   // Mirror image of sky, clouds and mountains, bent by the waves.
                   const float dx = (ripple - 0.5f) * (1.5f + p * 14.0f);
                   const float dy = c0 * (0.6f + p * 6.0f);
                   Rgb mirrored;
                   if (backdrop.lookup(x + dx, 2.0f * kHorizon - y + dy, mirrored) <= 0.0f) {
                       mirrored = skyColour(x, 0.0f);
                   }
                   const Rgb deep = gradient(kDeep, p);
                   const float reflectivity = lerp(0.82f, 0.28f, std::pow(p, 0.6f));
                   Rgb c = mix(deep, mirrored * hex(0xC8D8E8), reflectivity);

                   // Reflections of the headland, plane and jetty.
                   for (const Reflector& r : reflectors) {
                       if (y <= r.waterline) {
                           continue;
                       }
                       const float below = y - r.waterline;
                       Rgb src;
                       const float a =
                           r.layer->lookup(x + dx * 0.7f, r.waterline - below + dy * 0.8f, src);
                       if (a > 0.0f) {
                           const float fade = std::exp(-below / 70.0f);
                           const Rgb tinted = mix(src * 0.78f, deep, 0.3f);
                           c = mix(c, tinted,
                                   a * r.strength * fade * (1.0f - 0.45f * clamp01(c0 * 3.0f)));
                       }
                   }

                   // Wave shading: troughs darker, crests catching the pale sky.
                   c = c * (1.0f + c0 * (0.35f + 0.5f * p));
                   const float crest = smoothstep(0.12f, 0.3f, c0) * (0.15f + 0.35f * p);
                   c = mix(c, hex(0xB8CCE0), crest * 0.5f);

                   // Sun glitter: a column of sparkles under the sun, widening towards us.
                   const float width = 4.0f + d * 0.22f;
                   const float column = std::exp(-sq((x - kSun.x) / width));
                   const float sparkle = smoothstep(0.58f, 0.78f, fbm(u * 4.0f, v * 1.8f, 93u, 2));
                   const float glow = column * (0.35f * std::exp(-d / 30.0f) + 0.1f);
                   c = c + hex(0xFFD9A0) * glow;
                   c = c + hex(0xFFF2D8) * (column * sparkle * lerp(1.3f, 0.6f, p));

                   canvas.paint(sx, sy, c, 1.0f);
               });
}

// A little fishing boat far out, with a dark reflection and a pale wake.
void paintBoat(Layer& canvas) {
    constexpr float kX = 238.0f;
    constexpr float kY = 222.0f;
    forSamples(kX - 12.0f, kY, kX + 12.0f, kY + 4.0f, [&](int sx, int sy, float x, float y) {
        const float w = 1.0f - std::fabs(x - kX + 2.0f) / 12.0f;
        canvas.paint(sx, sy, hex(0xEAF2F6), w * 0.25f * smoothstep(kY + 4.0f, kY + 1.0f, y));
    });
    const std::array<V2, 5> hull{{{kX - 6.0f, kY - 2.2f},
                                  {kX + 6.5f, kY - 2.6f},
                                  {kX + 5.0f, kY},
                                  {kX - 5.0f, kY},
                                  {kX - 6.0f, kY - 1.0f}}};
    fillPolygon(canvas, hull,
                [](float, float y) { return y < kY - 1.4f ? hex(0xF4F0E6) : hex(0x2A3A52); });
    fillRoundRect(canvas, kX - 2.5f, kY - 5.2f, kX + 1.8f, kY - 2.2f, 0.4f, hex(0xE8E2D6));
    fillRoundRect(canvas, kX + 0.4f, kY - 4.6f, kX + 1.6f, kY - 3.4f, 0.1f, hex(0x3A4A60));
    fillCapsule(canvas, {kX - 3.8f, kY - 2.5f}, {kX - 3.8f, kY - 9.0f}, 0.25f, hex(0x3A3A40));
    fillRoundRect(canvas, kX - 5.0f, kY + 0.2f, kX + 5.0f, kY + 2.5f, 0.5f, hex(0x2A3A52), 0.35f);
}

// Bright ripples where things meet the water.
void paintContactLines(Layer& canvas) {
    auto ripple = [&](float x0, float x1, float y, float opacity, std::uint32_t seed) {
        forSamples(x0 - 2.0f, y - 1.0f, x1 + 2.0f, y + 1.5f,
                   [&](int sx, int sy, float x, float yy) {
                       const float n = valueNoise(x * 0.4f, 0.0f, seed);
                       const float centre = y + (n - 0.5f) * 0.8f;
                       const float a = smoothstep(0.9f, 0.2f, std::fabs(yy - centre)) *
                                       smoothstep(x0 - 2.0f, x0 + 2.0f, x) *
                                       smoothstep(x1 + 2.0f, x1 - 2.0f, x);
                       canvas.paint(sx, sy, hex(0xDDEAF2), a * opacity * (0.5f + 0.5f * n));
                   });
    };
    ripple(0.0f, 186.0f, kShoreWater + 0.6f, 0.4f, 101u);
    ripple(kFloatStern + 14.0f, kFloatBow - 6.0f, kPlaneWater + 0.6f, 0.7f, 102u);
    for (const float px : {7.0f, 45.0f, 83.0f, 121.0f, 147.5f}) {
        ripple(px - 3.0f, px + 3.0f, kDockWater + 0.6f, 0.55f, 103u);
    }
}

// Mooring line from the bollard at the end of the jetty to the float's stern cleat.
void paintMooringLine(Layer& canvas) {
    const V2 a{148.5f, 310.5f};
    const V2 ctrl{176.0f, 322.0f};
    const V2 b{214.0f, 311.5f};
    V2 prev = a;
    for (int i = 1; i <= 40; ++i) {
        const float t = static_cast<float>(i) / 40.0f;
        const V2 p{sq(1.0f - t) * a.x + 2.0f * (1.0f - t) * t * ctrl.x + t * t * b.x,
                   sq(1.0f - t) * a.y + 2.0f * (1.0f - t) * t * ctrl.y + t * t * b.y};
        fillCapsule(canvas, prev, p, 0.45f, hex(0xD8C49A));
        prev = p;
    }
    fillRoundRect(canvas, 212.0f, 310.0f, 216.5f, 311.6f, 0.5f, hex(0x2E3036));
}

// ---------------------------------------------------------------------------------------------
// Title lettering

// 5x7 block glyphs for the few letters the title needs.
struct Glyph {
    char ch;
    std::array<std::string_view, 7> rows;
};

constexpr std::array<Glyph, 7> kGlyphs{{
    {'T', {"#####", "..#..", "..#..", "..#..", "..#..", "..#..", "..#.."}},
    {'O', {".###.", "#...#", "#...#", "#...#", "#...#", "#...#", ".###."}},
    {'L', {"#....", "#....", "#....", "#....", "#....", "#....", "#####"}},
    {'V', {"#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
    {'A', {".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"}},
    {'N', {"#...#", "##..#", "#.#.#", "#..##", "#...#", "#...#", "#...#"}},
    {'E', {"#####", "#....", "#....", "####.", "#....", "#....", "#####"}},
}};

bool glyphCell(char ch, int col, int row) {
    for (const Glyph& g : kGlyphs) {
        if (g.ch == ch) {
            return g.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] == '#';
        }
    }
    return false;
}

// Bold block lettering: each glyph is overlaid with itself shifted half a cell to the right,
// which thickens the vertical strokes the way bold pixel fonts do.
constexpr float kTitleAdvance = 6.5f;  // in cells

bool textCovers(std::string_view text, float ox, float oy, float cell, float x, float y) {
    const float advance = cell * kTitleAdvance;
    const float ly = y - oy;
    if (ly < 0.0f || ly >= cell * 7.0f) {
        return false;
    }
    const int row = static_cast<int>(ly / cell);
    for (const float shift : {0.0f, cell * 0.5f}) {
        const float lx = x - ox - shift;
        if (lx < 0.0f) {
            continue;
        }
        const auto letter = static_cast<std::size_t>(lx / advance);
        if (letter >= text.size()) {
            continue;
        }
        const int col = static_cast<int>((lx - static_cast<float>(letter) * advance) / cell);
        if (col < 5 && glyphCell(text[letter], col, row)) {
            return true;
        }
    }
    return false;
}

void paintTitle(Layer& canvas) {
    constexpr std::string_view kTitle = "TOLVANE";
    constexpr float kCell = 4.0f;
    constexpr float kX = 16.0f;
    constexpr float kY = 16.0f;
    const float width = kCell * (kTitleAdvance * static_cast<float>(kTitle.size()));
    // Soft shadow: the lettering offset down-right, blurred over a small neighbourhood.
    forSamples(kX - 2.0f, kY - 2.0f, kX + width + 6.0f, kY + kCell * 7.0f + 6.0f,
               [&](int sx, int sy, float x, float y) {
                   float cover = 0.0f;
                   for (int i = 0; i < 9; ++i) {
                       const float ox = static_cast<float>(i % 3 - 1) * 1.1f;
                       const float oy = static_cast<float>(i / 3 - 1) * 1.1f;
                       cover += textCovers(kTitle, kX + 2.0f, kY + 2.0f, kCell, x + ox, y + oy)
                                    ? 1.0f
                                    : 0.0f;
                   }
                   canvas.paint(sx, sy, hex(0x0A1A3A), cover / 9.0f * 0.55f);
               });
    // Letters: warm white fading to pale gold, with a thin lighter top edge on each stroke.
    forSamples(kX, kY, kX + width, kY + kCell * 7.0f, [&](int sx, int sy, float x, float y) {
        if (!textCovers(kTitle, kX, kY, kCell, x, y)) {
            return;
        }
        Rgb c = mix(hex(0xFFFDF6), hex(0xF2C98A), (y - kY) / (kCell * 7.0f));
        if (!textCovers(kTitle, kX, kY, kCell, x, y - 0.8f)) {
            c = mix(c, hex(0xFFFFFF), 0.6f);
        }
        if (!textCovers(kTitle, kX, kY, kCell, x, y + 0.8f)) {
            c = c * 0.82f;
        }
        canvas.paint(sx, sy, c, 1.0f);
    });
}

// ---------------------------------------------------------------------------------------------
// Picture assembly

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // top-down, 3 bytes per pixel
};

Image renderPicture() {
    Layer backdrop;
    paintSky(backdrop);
    paintClouds(backdrop);
    paintMountains(backdrop);
    paintGulls(backdrop);

    Layer headland;
    paintHeadland(headland);
    Layer plane;
    paintPlane(plane);
    Layer dock;
    paintDock(dock);

    Layer canvas;
    backdrop.drawOnto(canvas);
    const std::array<Reflector, 3> reflectors{
        {{&headland, kShoreWater, 0.8f}, {&plane, kPlaneWater, 0.75f}, {&dock, kDockWater, 0.75f}}};
    paintSea(canvas, backdrop, reflectors);
    paintBoat(canvas);
    headland.drawOnto(canvas);
    plane.drawOnto(canvas);
    dock.drawOnto(canvas);
    paintContactLines(canvas);
    paintMooringLine(canvas);
    paintTitle(canvas);

    // Box-filter down to the final size, add a gentle vignette and dither to 8 bits.
    Image img;
    img.width = kWidth;
    img.height = kHeight;
    img.rgb.resize(static_cast<std::size_t>(kWidth) * static_cast<std::size_t>(kHeight) * 3u);
    Rng dither(7007u);
    for (int py = 0; py < kHeight; ++py) {
        for (int px = 0; px < kWidth; ++px) {
            Rgb sum;
            for (int j = 0; j < kSS; ++j) {
                for (int i = 0; i < kSS; ++i) {
                    sum = sum + canvas.rgb(px * kSS + i, py * kSS + j);
                }
            }
            Rgb c = sum * (1.0f / (kSSf * kSSf));
            const float nx = (static_cast<float>(px) + 0.5f) / static_cast<float>(kWidth) - 0.5f;
            const float ny = (static_cast<float>(py) + 0.5f) / static_cast<float>(kHeight) - 0.5f;
            c = c * (1.0f - 0.22f * smoothstep(0.35f, 0.75f, std::hypot(nx, ny)));
            const std::size_t o = (static_cast<std::size_t>(py) * static_cast<std::size_t>(kWidth) +
                                   static_cast<std::size_t>(px)) *
                                  3u;
            const std::array<float, 3> channels{c.r, c.g, c.b};
            for (std::size_t k = 0; k < 3; ++k) {
                const float v = clamp01(channels[k]) * 255.0f + dither.range(-0.5f, 0.5f);
                img.rgb[o + k] = static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
            }
        }
    }
    return img;
}

// ---------------------------------------------------------------------------------------------
// Icon artwork, drawn directly in the 16-colour palette

// Standard Windows 16-colour palette.
constexpr std::array<std::uint32_t, 16> kVgaPalette{
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0,
    0x808080, 0xFF0000, 0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF,
};

// Letters used in the icon drawings; '.' is transparent.
int paletteIndex(char c) {
    switch (c) {
        case 'K':
            return 0;  // black
        case 'M':
            return 1;  // maroon
        case 'G':
            return 2;  // green
        case 'O':
            return 3;  // olive
        case 'N':
            return 4;  // navy
        case 'P':
            return 5;  // purple
        case 'T':
            return 6;  // teal
        case 'S':
            return 7;  // silver
        case 'D':
            return 8;  // grey
        case 'R':
            return 9;  // red
        case 'L':
            return 10;  // lime
        case 'Y':
            return 11;  // yellow
        case 'B':
            return 12;  // blue
        case 'F':
            return 13;  // fuchsia
        case 'C':
            return 14;  // cyan
        case 'W':
            return 15;  // white
        default:
            return -1;
    }
}

// Roundel: snow-capped peak and evening sun over the fjord, a red-and-white float plane on the
// water in front.
// clang-format off
constexpr std::array<std::string_view, 32> kIcon32{{
    "............NNNNNNNN............",
    ".........NNNCCCCCCCCNNN.........",
    "........NCCCCCCCCCCCCCCN........",
    "......NNCCCCCCCCCCCCCCCCNN......",
    ".....NCCCCCCWCCCCCCCCCCYYCN.....",
    "....NCCCCCCWWWCCCCCCCCYYYYCN....",
    "...NCCCCCCSWWWWCCCCCCYYWYYCCN...",
    "...NCCCCCSSWWWWWCCCCCYYYYYCCN...",
    "..NCCCCCDSWDWWWSSCCCCCYYYCCCCN..",
    ".NCCCCCDDDWDDWWSSSCWCCCCCCCCCCN.",
    ".NCCCCDDDDDDDDWSSSDWWCCCCCCCCCN.",
    ".NCCCDDDDDDDDDDSSSDDWSSCCCCCCCN.",
    "NCCCDDDDDDDDDDDDSSSDDDSSCCCCCCCN",
    "NCCDDDDDDDDDDDDDDSSDDDSSSCCCCCCN",
    "NCGDDGDDGDDDDDDDDDSDDDSSSSCCCCCN",
    "NGGGGGGGGGGDGDDDDDDDDDDDSSSSCCCN",
    "NGGGGGGGGGGGGGGGDGDDDDDDDDSSSSCN",
    "NGGGGGGGGGGGGGGGGGGGGGGGGGGDSSSN",
    "NBBBBBBBBBBBBBBBBBBBBBBYWYBBBBBN",
    "NBBRBBBBBBBBBBBBBBBBBBBBBBBBBBBN",
    ".NBRRBBBBBBRRRRRRRRBBBBBWYWBBBN.",
    ".NBRRRWWWWWWWWWWWWWWRBKBBBBBBBN.",
    ".NBBRWWWWWWWTTWTTWWRRRKBYWWYBBN.",
    "..NBBBRRRRRRRRRRRRRRRRKBBBBBBN..",
    "...NBBBBBBBBDBBBBDBBBBKBBYWBN...",
    "...NBBBBBSSSSSSSSSSSSSSSBBBBN...",
    "....NBBBBBDDDDDDDDDDDDDBCCBN....",
    ".....NBBBBMBMMMBMMBMBBBBBBN.....",
    "......NNBBBNBNNBNBBBBBBBNN......",
    "........NBBBBBBCCBBBBBBN........",
    ".........NNNBBBBBBBBNNN.........",
    "............NNNNNNNN............",
}};
// clang-format on

// The same scene pared down for 16x16: peak, sun, forest line and the plane.
// clang-format off
constexpr std::array<std::string_view, 16> kIcon16{{
    ".....NNNNNN.....",
    "...NNCCCCCCNN...",
    "..NCCCWCCCCYYN..",
    ".NCCCWWWCCCYYCN.",
    ".NCCDWWWSCCCCCN.",
    "NCCDDDWDSSSCCCCN",
    "NCDDDDDDSSSSCCCN",
    "NGDDGDDDDDSSSCCN",
    "NGGRGGGGGGGGGDSN",
    "NBBRRBRRRRRBBYWN",
    "NBBRWWWTTWWRKBBN",
    ".NBBRRRRRRRRKWN.",
    ".NBBBDBBBDBBBBN.",
    "..NBSSSSSSSSBN..",
    "...NNBBBBBBNN...",
    ".....NNNNNN.....",
}};
// clang-format on

// ---------------------------------------------------------------------------------------------
// File writers

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFFu));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFFu));
}

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFFu);
    put16(out, v >> 16);
}

void putBitmapInfoHeader(std::vector<std::uint8_t>& out, std::uint32_t width, std::uint32_t height,
                         std::uint32_t bitCount, std::uint32_t imageSize,
                         std::uint32_t pelsPerMeter) {
    put32(out, 40);  // biSize
    put32(out, width);
    put32(out, height);
    put16(out, 1);  // biPlanes
    put16(out, bitCount);
    put32(out, 0);  // biCompression = BI_RGB
    put32(out, imageSize);
    put32(out, pelsPerMeter);
    put32(out, pelsPerMeter);
    put32(out, 0);  // biClrUsed
    put32(out, 0);  // biClrImportant
}

std::vector<std::uint8_t> encodeBmp(const Image& img) {
    const auto width = static_cast<std::uint32_t>(img.width);
    const auto height = static_cast<std::uint32_t>(img.height);
    const std::uint32_t stride = (width * 3u + 3u) & ~3u;
    const std::uint32_t imageSize = stride * height;
    constexpr std::uint32_t kHeaders = 14u + 40u;
    std::vector<std::uint8_t> out;
    out.reserve(kHeaders + imageSize);
    out.push_back('B');
    out.push_back('M');
    put32(out, kHeaders + imageSize);
    put16(out, 0);
    put16(out, 0);
    put32(out, kHeaders);
    putBitmapInfoHeader(out, width, height, 24, imageSize, 2835);
    for (std::uint32_t row = height; row-- > 0;) {  // bottom-up
        const std::size_t start = static_cast<std::size_t>(row) * width * 3u;
        for (std::uint32_t x = 0; x < width; ++x) {
            const std::size_t o = start + static_cast<std::size_t>(x) * 3u;
            out.push_back(img.rgb[o + 2]);  // B
            out.push_back(img.rgb[o + 1]);  // G
            out.push_back(img.rgb[o]);      // R
        }
        for (std::uint32_t pad = width * 3u; pad < stride; ++pad) {
            out.push_back(0);
        }
    }
    return out;
}

// One classic DIB icon image: header, palette, 4-bit colour bitmap, 1-bit transparency mask.
std::vector<std::uint8_t> encodeIconImage(std::span<const std::string_view> rows) {
    const auto size = static_cast<std::uint32_t>(rows.size());
    const std::uint32_t xorStride = ((size * 4u + 31u) / 32u) * 4u;
    const std::uint32_t andStride = ((size + 31u) / 32u) * 4u;
    const std::uint32_t xorSize = xorStride * size;
    const std::uint32_t andSize = andStride * size;
    std::vector<std::uint8_t> out;
    putBitmapInfoHeader(out, size, size * 2u, 4, xorSize + andSize, 0);
    for (const std::uint32_t c : kVgaPalette) {
        out.push_back(static_cast<std::uint8_t>(c & 0xFFu));          // blue
        out.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFFu));   // green
        out.push_back(static_cast<std::uint8_t>((c >> 16) & 0xFFu));  // red
        out.push_back(0);
    }
    for (std::uint32_t y = size; y-- > 0;) {  // colour bitmap, bottom-up
        const std::string_view row = rows[y];
        std::vector<std::uint8_t> line(xorStride, 0);
        for (std::uint32_t x = 0; x < size; ++x) {
            const int index = std::max(0, paletteIndex(row[x]));  // transparent -> black
            const auto nibble = static_cast<std::uint8_t>(index);
            line[x / 2u] |= static_cast<std::uint8_t>(x % 2u == 0u ? nibble << 4 : nibble);
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    for (std::uint32_t y = size; y-- > 0;) {  // mask, bottom-up; set bits are transparent
        const std::string_view row = rows[y];
        std::vector<std::uint8_t> line(andStride, 0);
        for (std::uint32_t x = 0; x < size; ++x) {
            if (paletteIndex(row[x]) < 0) {
                line[x / 8u] |= static_cast<std::uint8_t>(0x80u >> (x % 8u));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

std::vector<std::uint8_t> encodeIcon() {
    const std::array<std::vector<std::uint8_t>, 2> images{encodeIconImage(kIcon32),
                                                          encodeIconImage(kIcon16)};
    const std::array<std::uint32_t, 2> sizes{32, 16};
    std::vector<std::uint8_t> out;
    put16(out, 0);  // reserved
    put16(out, 1);  // type: icon
    put16(out, static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6u + 16u * static_cast<std::uint32_t>(images.size());
    for (std::size_t i = 0; i < images.size(); ++i) {
        out.push_back(static_cast<std::uint8_t>(sizes[i]));  // width
        out.push_back(static_cast<std::uint8_t>(sizes[i]));  // height
        out.push_back(16);                                   // colour count
        out.push_back(0);                                    // reserved
        put16(out, 1);                                       // planes
        put16(out, 4);                                       // bits per pixel
        const auto bytes = static_cast<std::uint32_t>(images[i].size());
        put32(out, bytes);
        put32(out, offset);
        offset += bytes;
    }
    for (const auto& image : images) {
        out.insert(out.end(), image.begin(), image.end());
    }
    return out;
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        std::fprintf(stderr, "make_art: cannot write %s\n", path.string().c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const std::filesystem::path folder(argv[1]);
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "make_art: cannot create %s: %s\n", folder.string().c_str(),
                     ec.message().c_str());
        return 1;
    }
    if (!writeFile(folder / "Tolvane.bmp", encodeBmp(renderPicture())) ||
        !writeFile(folder / "TolvaneConfig.ico", encodeIcon())) {
        return 1;
    }
    return 0;
}
