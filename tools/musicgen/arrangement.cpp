// The song form. Everything is in A minor except the lantern corridor,
// which darkens to D minor. Bars count from each section's origin; each
// section owns the seconds of its scene, so a change of picture is a
// change of music. Effect settings read {reverb seconds, delay in beats,
// delay feedback, kick ducking depth, level in dB}.
#include "arrangement.h"

#include <algorithm>
#include <cmath>

namespace music {

namespace {

// Recurring material.

// The main theme over F G Em Am, two bars each (3+3+2 rhythm, then a
// falling answer). Comes back in the planet, the spikes' peak and the end.
const char* const kThemeA =
    "C5:3 A4:3 C5:2 F5:4 E5:4 | C5:8 r:2 A4:2 C5:2 D5:2 | "
    "D5:3 B4:3 D5:2 G5:4 F5:4 | D5:8 r:2 B4:2 D5:2 E5:2 | "
    "E5:3 B4:3 E5:2 G5:4 D5:4 | B4:8 r:2 G4:2 B4:2 C5:2 | "
    "C5:3 A4:3 C5:2 E5:4 D5:2 C5:2 | A4:12 r:4";

// Its brighter answer over C G Am F, one bar each.
const char* const kThemeB =
    "G5:3 E5:3 G5:2 C6:6 B5:2 | B5:3 G5:3 D5:2 D6:6 C6:2 | "
    "C6:3 A5:3 E5:2 E6:4 D6:2 C6:2 | A5:6 C6:2 A5:2 G5:2 F5:2 E5:2";

const char* const kFourFloor = "X...x...x...x...";
const char* const kBackbeat = "....X.......X...";
const char* const kOffHats = "..x...x...x...x.";
const char* const kSixteenthHats = "xoxoxoxoxoxoxoxo";

Section sky() {
  // 0 - 17.5: no groove yet. The hits and runs that land on the light
  // flashes are moments; here only the harmony they sit on.
  Section s;
  s.name = "sky";
  s.from = 0.0;
  s.to = 17.5;
  s.origin = 0.0;
  s.chords = "Am:8 F:8 C:8 Dm:8 E:8";
  s.fx = {3.0f, 0.75f, 0.45f, 0.0f};
  s.clips = {
      sweep(chords(Inst::Pad, 0, 9, "", 52), 0.15f, 0.7f),
      sweep(scaled(chords(Inst::Choir, 4, 9, "", 57), 0.7f), 0.3f, 0.6f),
      bassLine(Inst::Sub, 0, 9, "r-------------------------------", 33),
  };
  return s;
}

Section landscape() {
  // 17.5 - 36.5: the beat enters on the crossfade; wide pads and a plucked
  // arpeggio whose filter opens as the flight goes on. Nine bars and a
  // two-beat fill bar.
  Section s;
  s.name = "landscape";
  s.from = 17.5;
  s.to = 36.5;
  s.origin = 17.5;
  s.chords = "Am:8 F:8 C:8 G:8 Esus4:4 E:2";
  s.fx = {2.4f, 0.75f, 0.4f, 0.45f, 1.0f};
  s.clips = {
      drums(Inst::Crash, 0, 1, "X..............."),
      drums(Inst::Crash, 4, 5, "X...............", 0.7f),
      drums(Inst::Kick, 0, 8, kFourFloor),
      drums(Inst::Kick, 8, 9, "X...x...x...x.x."),
      drums(Inst::HatClosed, 2, 9, kOffHats, 0.9f),
      drums(Inst::Shaker, 0, 9, "o.x.o.x.o.x.o.x.", 0.8f),
      drums(Inst::Clap, 4, 9, kBackbeat, 0.85f),
      drums(Inst::Snare, 9, 10, "ooxxxXXX"),
      drums(Inst::Tom, 8, 9, "............1.23"),
      bassLine(Inst::Bass, 0, 9, "..r-..r-..r-..r-"),
      sweep(chords(Inst::Pad, 0, 10, "", 55), 0.35f, 0.7f),
      sweep(scaled(chords(Inst::Choir, 4, 10, "", 60), 0.6f), 0.4f, 0.6f),
      sweep(arp(Inst::Pluck, 2, 9, "0242135302421364", 57), 0.2f, 0.8f),
      // A first glimpse of a tune, high and slow, over C and G.
      scaled(melody(Inst::Bell, 4, 8, "E5:4 G5:4 C6:8 | B5:8 G5:8 | D6:4 B5:4 G5:8 | A5:8 B5:8"), 0.7f),
  };
  return s;
}

Section planet() {
  // 36.5 - 63: the full groove and the theme; the lift lands on bar 8
  // (52.5 s) just as the models fly in, then a bar of E drops out towards
  // the corridor.
  Section s;
  s.name = "planet";
  s.from = 36.5;
  s.to = 63.0;
  s.origin = 36.5;
  s.chords = "F:8 G:8 Em:8 Am:8 C:4 G:4 Am:4 F:4 E:5";
  s.fx = {2.2f, 0.75f, 0.35f, 0.5f, 0.5f};
  s.clips = {
      drums(Inst::Crash, 0, 1, "X..............."),
      drums(Inst::Kick, 0, 7, kFourFloor),
      drums(Inst::Kick, 7, 8, "X...x...x.x.x..."),
      drums(Inst::Clap, 0, 7, kBackbeat),
      drums(Inst::Snare, 7, 8, "........oxoxxxXX"),
      drums(Inst::HatClosed, 0, 12, kSixteenthHats, 0.8f),
      drums(Inst::HatOpen, 0, 12, kOffHats, 0.7f),
      // The lift: crash, ride and a busier kick.
      drums(Inst::Crash, 8, 9, "X..............."),
      drums(Inst::Kick, 8, 12, kFourFloor),
      drums(Inst::Clap, 8, 12, kBackbeat),
      drums(Inst::Ride, 8, 12, "x.x.x.x.x.x.x.x.", 0.8f),
      drums(Inst::Snare, 11, 12, "............xxXX"),
      // The E bar: one hit and ringing.
      drums(Inst::Crash, 12, 13, "X..............."),
      drums(Inst::Kick, 12, 13, "X.......x......."),
      bassLine(Inst::Bass, 0, 8, ".rrr.rrr.rrr.rrr"),
      bassLine(Inst::Bass, 8, 12, ".ror.rrr.ror.rfo"),
      bassLine(Inst::Bass, 12, 13, "R---------------"),
      sweep(chords(Inst::Pad, 0, 8, "", 55), 0.5f, 0.75f),
      sweep(chords(Inst::Pad, 8, 14, "", 57), 0.8f, 0.6f),
      sweep(scaled(chords(Inst::Choir, 8, 13, "", 60), 0.7f), 0.5f, 0.5f),
      sweep(scaled(arp(Inst::Pluck, 0, 12, "4.2.0.2.5.3.1.3.", 57), 0.8f), 0.5f, 0.7f),
      melody(Inst::Lead, 0, 8, kThemeA),
      melody(Inst::Lead, 8, 12, kThemeB),
      melody(Inst::Lead, 12, 13, "G#5:4 B5:12"),
      scaled(melody(Inst::Bell, 8, 12, kThemeB), 0.5f),
  };
  return s;
}

// The lantern corridor shares one grid (origin 63 s) across its calm and
// building halves.
const char* const kCorridorChart = "Dm:8 Bbmaj7:8 Gm7:8 A7sus4:4 A7:4";
const char* const kCorridorFigure =
    "D5:3 A4:3 F5:4 E5:6 | r:16 | D5:3 Bb4:3 F5:4 A5:6 | r:16 | "
    "G5:3 D5:3 Bb4:4 A4:6 | r:16 | E5:3 D5:3 A4:4 G4:6 | C#5:8 r:8";

Section corridor() {
  // 63 - 96: calmer and darker, in D minor: a half-time beat, a low sub,
  // and a plucked figure that the long ping-pong echoes answer.
  Section s;
  s.name = "corridor";
  s.from = 63.0;
  s.to = 96.0;
  s.origin = 63.0;
  s.chords = kCorridorChart;
  s.fx = {4.5f, 0.75f, 0.55f, 0.2f};
  s.clips = {
      sweep(chords(Inst::DarkPad, 0, 17, "", 50), 0.3f, 0.45f),
      scaled(bassLine(Inst::Sub, 0, 17, "r-------------------------------", 33), 0.6f),
      // The echoing figure: it enters on the second chord, then runs the
      // whole eight-bar cycle.
      sends(melody(Inst::Pluck, 2, 8,
                   "D5:3 Bb4:3 F5:4 A5:6 | r:16 | G5:3 D5:3 Bb4:4 A4:6 | r:16 | "
                   "E5:3 D5:3 A4:4 G4:6 | C#5:8 r:8"),
            1.2f, 2.0f),
      sends(melody(Inst::Pluck, 8, 17, kCorridorFigure), 1.2f, 2.0f),
      drums(Inst::KickSoft, 4, 17, "X.........x....."),
      sends(drums(Inst::Rim, 4, 17, "........x.......", 0.9f), 1.0f, 1.6f),
      drums(Inst::Shaker, 8, 17, "g.o.g.o.g.o.g.o.", 0.8f),
      drums(Inst::HatClosed, 12, 17, "..o...o...o...o.", 0.6f),
  };
  return s;
}

Section corridorFlight() {
  // 96 - 111.2: builds again: four-on-the-floor, a rising arpeggio, snare
  // rolls; it stops dead at 111 s, just before the park's first picture.
  Section s;
  s.name = "corridor flight";
  s.from = 96.0;
  s.to = 111.2;
  s.origin = 63.0;
  s.chords = kCorridorChart;
  s.fx = {3.0f, 0.75f, 0.4f, 0.5f};
  s.clips = {
      sweep(chords(Inst::DarkPad, 17, 24, "", 50), 0.45f, 0.9f),
      sweep(scaled(chords(Inst::Pad, 20, 24, "", 57), 0.8f), 0.4f, 0.9f),
      // The camera takes off at 96 s, on the third beat: a tom run.
      drums(Inst::Tom, 16, 17, "........2.2.3344"),
      drums(Inst::Crash, 17, 18, "X..............."),
      drums(Inst::Kick, 17, 24, kFourFloor),
      drums(Inst::HatClosed, 19, 24, kSixteenthHats, 0.8f),
      drums(Inst::HatOpen, 21, 24, kOffHats, 0.7f),
      drums(Inst::Clap, 19, 21, kBackbeat, 0.9f),
      drums(Inst::Snare, 21, 23, "x.x.x.x.x.x.x.x.", 0.8f),
      drums(Inst::Snare, 23, 24, "ooooxxxxxxxxXXXX"),
      bassLine(Inst::Bass, 17, 21, "..r-..r-..r-..r-", 33),
      bassLine(Inst::Bass, 21, 24, ".rrr.rrr.rrr.rro", 33),
      sweep(arp(Inst::Pluck, 17, 24, "0123212301232345", 57), 0.1f, 0.95f),
  };
  return s;
}

Section lampPark() {
  // 111.2 - 127.5: night. Wind, crickets and crackle (moments), a lazy
  // electric piano, a soft swung beat and a lonely whistled tune.
  Section s;
  s.name = "lamp park";
  s.from = 111.2;
  s.to = 127.5;
  s.origin = 111.2;
  s.chords = "Am9:8 Fmaj7:8 Dm9:8 E7sus4:4 E7b9:4";
  s.swing = 0.5f;
  s.fx = {3.5f, 0.75f, 0.45f, 0.0f, -2.5f};
  s.clips = {
      chords(Inst::EPiano, 0, 8, "X-------..x-----", 55),
      scaled(bassLine(Inst::Sub, 0, 8, "r-------------------------------", 33), 0.6f),
      drums(Inst::KickSoft, 2, 8, "x.........x.....", 0.8f),
      drums(Inst::Brush, 2, 8, "........x.......", 0.9f),
      drums(Inst::Shaker, 2, 8, "g.o.g.o.g.o.g.o.", 0.7f),
      drums(Inst::Rim, 4, 8, "..............o.", 0.7f),
      scaled(melody(Inst::MusicBox, 0, 4, "r:4 E6:4 r:4 B5:4 | r:8 A5:8 | r:4 C6:4 r:4 G5:4 | r:16"), 0.6f),
      melody(Inst::Whistle, 4, 8, "A4:6 C5:2 E5:8 | D5:4 C5:4 A4:8 | B4:6 A4:2 E4:8 | G#4:8 ~B4:4 r:4"),
      sweep(scaled(chords(Inst::GlassPad, 0, 8, "", 60), 0.5f), 0.3f, 0.3f),
  };
  return s;
}

Section mirror() {
  // 127.5 - 159.5: a slower grid (one bar = 2.68 s) so that each of the
  // nine lines of text fading in (from 134.8 s, every 2.68 s) opens a
  // phrase of the bell melody over a falling bass. The pendulum ticks, and
  // everything slows to a stop from 155.5 s.
  Section s;
  s.name = "mirror";
  s.from = 127.5;
  s.to = 159.5;
  s.origin = 134.8 - 3 * 2.68;
  s.beat = 0.67;
  s.ritFrom = 155.5;
  s.ritTo = 159.5;
  s.chords = "Am:16 Em/G:4 F:4 C/E:4 Dm:4 Am/C:4 Bm7b5:4 E:4 Am:8";
  s.fx = {3.8f, 0.75f, 0.4f, 0.0f, -1.0f};
  s.clips = {
      sweep(chords(Inst::GlassPad, 0, 13, "", 57), 0.3f, 0.6f),
      drums(Inst::Tick, 0, 1, "/1 ..12"),
      drums(Inst::Tick, 1, 13, "/1 1212"),
      bassLine(Inst::Upright, 3, 13, "/1 r---", 35),
      scaled(arp(Inst::MusicBox, 1, 13, "/2 01234321", 57), 0.55f),
      melody(Inst::Bell, 3, 13,
             "E5:6 D5:2 C5:4 E5:4 | D5:6 C5:2 B4:4 G4:4 | C5:6 B4:2 A4:4 F5:4 | "
             "E5:6 D5:2 C5:4 G4:4 | F5:6 E5:2 D5:4 A5:4 | A5:6 G5:2 E5:4 C5:4 | "
             "D5:6 F5:2 A5:4 B5:4 | B5:6 A5:2 G#5:4 E5:4 | A5:16"),
      sweep(scaled(chords(Inst::Choir, 7, 13, "", 57), 0.6f), 0.4f, 0.6f),
  };
  return s;
}

Section walking() {
  // 159.5 - 192: the figures walk. Swung eighths, a walking upright bass
  // around the circle of fifths, ride and finger snaps; vibes take the tune
  // the second time round.
  Section s;
  s.name = "walking";
  s.from = 159.5;
  s.to = 192.0;
  s.origin = 159.5;
  s.chords = "Am7:4 Dm7:4 G7:4 Cmaj7:4 Fmaj7:4 Bm7b5:4 E7:4 Am7:4";
  s.swing = 0.9f;
  s.fx = {2.0f, 0.75f, 0.3f, 0.0f, 0.5f};
  s.clips = {
      walk(Inst::Upright, 0, 16, 33),
      drums(Inst::Ride, 0, 16, "X...x.o.X...x.o.", 1.0f),
      drums(Inst::HatClosed, 0, 16, "....x.......x...", 0.8f),
      drums(Inst::Snap, 0, 16, "....X.......X..."),
      drums(Inst::KickSoft, 0, 16, "x...o...x...o...", 0.7f),
      drums(Inst::Brush, 4, 16, "..........o.....|......o.......o.", 0.7f),
      drums(Inst::Snare, 15, 16, "..........o.x.xX", 0.7f),
      drums(Inst::Snare, 16, 17, "oxxX", 0.7f),
      chords(Inst::EPiano, 0, 16, "X.....x.........", 52),
      melody(Inst::Vibes, 8, 16,
             "r:4 E5:2 G5:2 C6:4 B5:2 A5:2 | F5:6 E5:2 D5:4 C5:4 | B4:2 D5:2 F5:2 A5:2 G5:8 | "
             "E5:12 r:4 | r:4 A5:2 C6:2 E6:4 D6:2 C6:2 | B5:6 A5:2 F5:4 D5:4 | "
             "G#5:4 B5:4 D6:4 F5:4 | E5:4 C5:4 A4:8"),
  };
  return s;
}

Section fractal() {
  // 192 - 208: the breakdown. No beat; glassy chords, a slow bell figure,
  // and the fractal's pulses (moments) every 5.3 s.
  Section s;
  s.name = "fractal";
  s.from = 192.0;
  s.to = 208.0;
  s.origin = 192.0;
  s.chords = "Fmaj7:8 Dm9:8 Am9:8 Esus4:4 E:4";
  s.fx = {4.0f, 0.75f, 0.5f, 0.0f, -2.5f};
  s.clips = {
      sweep(chords(Inst::GlassPad, 0, 8, "", 55), 0.2f, 0.7f),
      sweep(scaled(chords(Inst::Choir, 2, 8, "", 57), 0.7f), 0.3f, 0.7f),
      scaled(bassLine(Inst::Sub, 0, 8, "r-------------------------------", 29), 0.7f),
      scaled(arp(Inst::Bell, 0, 8, "/1 0243", 64), 0.45f),
      sweep(scaled(drums(Inst::HatClosed, 4, 8, "..o...o...o...o.", 0.5f), 0.5f), 0.2f, 0.2f),
  };
  return s;
}

// The spikes scene: heavy for two thirds, then the track's peak.
Section spikes() {
  // 208 - 256: a heavy half-time beat under a driven reese bass while the
  // spikes grow (from 212.6 s), rising from 224 s into the peak at 240 s,
  // where the theme returns over everything.
  Section s;
  s.name = "spikes";
  s.from = 208.0;
  s.to = 256.0;
  s.origin = 208.0;
  s.chords =
      "Am:8 F:8 Dm:8 E:8 Am:8 F:8 Dm:8 E:8 "
      "F:8 G:8 Em:8 Am:8";
  s.fx = {2.6f, 0.75f, 0.35f, 0.5f, 1.5f};
  s.clips = {
      // Growing.
      chords(Inst::Drone, 0, 3, "", 45),
      bassLine(Inst::Reese, 0, 8, "R-------------------------------", 33),
      drums(Inst::KickHeavy, 2, 8, "X.....x...x.....", 0.9f),
      drums(Inst::Snare, 2, 8, "........X.......", 1.0f),
      drums(Inst::HatClosed, 2, 8, "x.x.x.x.x.x.x.xo", 0.8f),
      drums(Inst::Tom, 7, 8, "........1.2.3.44"),
      scaled(chords(Inst::Stab, 4, 8, "X.....x.....x...", 52), 0.9f),
      sweep(chords(Inst::DarkPad, 2, 8, "", 57), 0.5f, 0.7f),
      // Rising.
      drums(Inst::Crash, 8, 9, "X..............."),
      drums(Inst::KickHeavy, 8, 15, kFourFloor, 0.9f),
      drums(Inst::Snare, 8, 14, kBackbeat),
      drums(Inst::Snare, 14, 15, "x.x.x.x.x.x.x.x.", 0.9f),
      drums(Inst::Snare, 15, 16, "ooooxxxxxxxxXXXX"),
      drums(Inst::KickHeavy, 15, 16, "X...X...X.X.XXXX", 0.9f),
      drums(Inst::HatClosed, 8, 16, kSixteenthHats, 0.8f),
      drums(Inst::HatOpen, 12, 16, kOffHats, 0.7f),
      bassLine(Inst::Reese, 8, 16, "R--r--R-r-R-r-r-"),
      sweep(arp(Inst::Pluck, 8, 16, "0242135302421364", 57), 0.1f, 1.0f),
      sweep(chords(Inst::Pad, 8, 16, "", 55), 0.3f, 0.9f),
      // The peak.
      drums(Inst::Crash, 16, 17, "X..............."),
      drums(Inst::Crash, 20, 21, "X..............."),
      drums(Inst::KickHeavy, 16, 24, kFourFloor),
      drums(Inst::Clap, 16, 24, kBackbeat),
      drums(Inst::Snare, 16, 23, kBackbeat, 0.8f),
      drums(Inst::Snare, 23, 24, "........xxxxXXXX"),
      drums(Inst::HatClosed, 16, 24, kSixteenthHats, 0.8f),
      drums(Inst::Ride, 16, 24, kOffHats, 0.8f),
      bassLine(Inst::Bass, 16, 24, ".rrr.rrr.rrr.rro"),
      scaled(bassLine(Inst::Reese, 16, 24, "R-------------------------------", 33), 0.7f),
      sweep(chords(Inst::Pad, 16, 24, "", 57), 0.85f, 0.85f),
      sweep(scaled(chords(Inst::Choir, 16, 24, "", 60), 0.8f), 0.6f, 0.6f),
      melody(Inst::SuperLead, 16, 24, kThemeA),
      scaled(melody(Inst::Bell, 16, 24, kThemeA, 12), 0.45f),
      sweep(scaled(arp(Inst::Pluck, 16, 24, "4.2.0.2.5.3.1.3.", 57), 0.7f), 0.7f, 0.7f),
  };
  return s;
}

Section conveyor() {
  // 256 - 304: the factory. A sliding acid bass line, struck metal and
  // pneumatic hisses; double time for the frantic speed-up (288 - 292),
  // then the last run of a theme.
  Section s;
  s.name = "conveyor";
  s.from = 256.0;
  s.to = 304.0;
  s.origin = 256.0;
  s.chords =
      "Am:8 G:8 F:8 E:8 Am:8 G:8 F:8 E:8 "
      "E:8 Am:8 G:8 F:4 E:4";
  s.fx = {2.0f, 0.75f, 0.35f, 0.5f, 1.0f};
  s.clips = {
      drums(Inst::Crash, 0, 1, "X..............."),
      drums(Inst::Kick, 0, 16, kFourFloor),
      drums(Inst::Clap, 2, 16, kBackbeat),
      drums(Inst::HatClosed, 0, 16, kSixteenthHats, 0.8f),
      drums(Inst::HatOpen, 4, 16, kOffHats, 0.6f),
      drums(Inst::Clank, 0, 16, "..1...2..1..3...|..1...2..1..3.1.", 0.9f),
      drums(Inst::Hiss, 2, 16, "............X---|................", 0.8f),
      sweep(bassLine(Inst::AcidBass, 0, 16, "R.ror.rfR.ro~r~Rfo", 33), 0.1f, 0.7f),
      sweep(arp(Inst::Pluck, 4, 16, "0.4.2.4.1.4.2.5.", 60), 0.3f, 0.7f),
      sweep(sends(chords(Inst::Stab, 2, 16, "..X...X...X...X.", 55), 1.0f, 1.5f), 0.3f, 0.6f),
      sweep(scaled(chords(Inst::Pad, 8, 16, "", 55), 0.7f), 0.3f, 0.6f),
      // Double time.
      drums(Inst::Crash, 16, 17, "X..............."),
      drums(Inst::Kick, 16, 18, "X.x.X.x.X.x.X.x.", 0.65f),
      drums(Inst::Snare, 16, 18, "xoxoxoxoxoxoxoxo|xoxoxoxoxxxxXXXX", 0.8f),
      drums(Inst::HatClosed, 16, 18, "/8 xoxoxoxoxoxoxoxoxoxoxoxoxoxoxox", 0.7f),
      drums(Inst::Clank, 16, 18, "1.2.1.2.1.2.3.3.", 0.9f),
      sweep(bassLine(Inst::AcidBass, 16, 18, "RoRoRoRoRoRoRoRo", 33), 0.8f, 1.0f),
      sweep(scaled(chords(Inst::Pad, 16, 18, "", 56), 0.8f), 0.7f, 1.0f),
      // Full power to the end.
      drums(Inst::Crash, 18, 19, "X..............."),
      drums(Inst::Kick, 18, 24, kFourFloor),
      drums(Inst::Clap, 18, 24, kBackbeat),
      drums(Inst::Snare, 23, 24, "........oxxxXXXX"),
      drums(Inst::HatClosed, 18, 24, kSixteenthHats, 0.8f),
      drums(Inst::Ride, 18, 24, kOffHats, 0.7f),
      drums(Inst::Clank, 18, 24, "..1...2..1..3...", 0.7f),
      sweep(bassLine(Inst::AcidBass, 18, 24, "R.ror.rfR.ro~r~Rfo", 33), 0.6f, 0.8f),
      sweep(chords(Inst::Pad, 18, 24, "", 57), 0.7f, 0.8f),
      melody(Inst::Lead, 18, 24,
             "A5:3 E5:3 A5:2 C6:4 B5:4 | A5:8 r:2 E5:2 G5:2 A5:2 | "
             "B5:3 G5:3 B5:2 D6:4 C6:4 | B5:8 r:2 G5:2 A5:2 B5:2 | "
             "C6:3 A5:3 C6:2 F6:4 E6:4 | B5:3 G#5:3 B5:2 E6:8",
             -12),
  };
  return s;
}

Section tunnel() {
  // 304 - 330: the theme once more on bells over a thinning beat; the beat
  // is gone by 316 s, the final chord (a moment) comes with the closing
  // text at 321 s and fades with the picture.
  Section s;
  s.name = "tunnel";
  s.from = 304.0;
  s.to = 330.0;
  s.origin = 304.0;
  s.chords = "F:8 G:8 Em:8 Am:8 Amadd9:24";
  s.fx = {3.5f, 0.75f, 0.45f, 0.3f};
  s.clips = {
      drums(Inst::Crash, 0, 1, "X...............", 0.7f),
      drums(Inst::Kick, 0, 4, kFourFloor, 0.8f),
      drums(Inst::Kick, 4, 6, "X.......X.......", 0.6f),
      drums(Inst::HatClosed, 0, 6, kOffHats, 0.8f),
      drums(Inst::Shaker, 0, 8, "o.x.o.x.o.x.o.x.", 0.6f),
      bassLine(Inst::Bass, 0, 6, "..r-..r-..r-..r-"),
      bassLine(Inst::Sub, 6, 8, "r-------", 33),
      sweep(chords(Inst::Pad, 0, 8, "", 55), 0.7f, 0.35f),
      sweep(scaled(chords(Inst::Choir, 2, 8, "", 60), 0.7f), 0.5f, 0.4f),
      scaled(melody(Inst::Bell, 0, 8, kThemeA, 12), 0.8f),
      scaled(melody(Inst::Lead, 0, 4, kThemeA), 0.7f),
  };
  return s;
}

}  // namespace

std::vector<Section> songSections() {
  return {sky(), landscape(), planet(), corridor(), corridorFlight(), lampPark(),
          mirror(), walking(), fractal(), spikes(), conveyor(), tunnel()};
}

bool composeSong(Song& song) {
  song.sections = songSections();
  song.notes.clear();
  bool ok = true;
  for (size_t i = 0; i < song.sections.size(); ++i)
    ok = sequenceSection(song.sections[i], static_cast<uint32_t>(i + 1), song.notes) && ok;
  addMoments(song.notes);
  std::stable_sort(song.notes.begin(), song.notes.end(),
                   [](const Note& a, const Note& b) { return a.time < b.time; });
  return ok;
}

FxState fxAt(const Song& song, double seconds) {
  const Section* at = nullptr;
  for (const Section& s : song.sections) {
    at = &s;
    if (seconds < s.to) break;
  }
  if (!at) return FxState{};
  return FxState{at->fx.reverbTime, static_cast<float>(at->fx.delayBeats * at->beat),
                 at->fx.delayFeedback, at->fx.duck, at->fx.level};
}

float fadeGain(double seconds) {
  if (seconds <= kFadeFrom) return 1.0f;
  if (seconds >= kFadeTo) return 0.0f;
  const double x = (seconds - kFadeFrom) / (kFadeTo - kFadeFrom);
  // Cosine-shaped: gentle at first, then quickly to silence.
  return static_cast<float>(0.5 + 0.5 * std::cos(x * 3.14159265358979));
}

}  // namespace music
