#include "tools/assetgen/MusicComposer.h"

#include "tools/assetgen/Composer.h"

namespace qx::art {

namespace {

// General MIDI programs (numbered from 0) and percussion keys.
enum Program {
    kHarp = 46, kTimpani = 47, kStrings = 48, kSlowStrings = 49, kTremolo = 44, kPizzicato = 45,
    kContrabass = 43, kChoir = 52, kTrumpet = 56, kTrombone = 57, kTuba = 58, kHorn = 60, kBrass = 61,
    kFlute = 73, kClarinet = 71, kVibraphone = 11, kCelesta = 8, kGlockenspiel = 9, kFretless = 35,
    kSynthBass = 38, kWarmPad = 89, kChoirPad = 91,
};
enum Drum {
    kKick = 36, kSnare = 38, kClosedHat = 42, kOpenHat = 46, kCrash = 49, kRide = 51, kLowTom = 45,
    kFloorTom = 41, kHighFloorTom = 43, kMaracas = 70, kTriangle = 81,
};

TMusicPiece Finish(TScore& score, const std::string& file, const std::string& title, const std::string& mood,
                   double bpm) {
    TMusicPiece piece;
    piece.FileName = file;
    piece.Title = title;
    piece.Mood = mood;
    piece.BeatsPerMinute = bpm;
    piece.Midi = score.Encode();
    piece.Seconds = score.Seconds();
    return piece;
}

// The first `beats` of a line.
TLine Head(const TLine& line, double beats) {
    TLine out;
    for (const TLineNote& n : line)
        if (n.Beat < beats) out.push_back(n);
    return out;
}

} // namespace

TMusicPiece TMusicComposer::Title() {
    const double bpm = 76;
    TScore score("Quorvex - Title", bpm, 4, 0x71713);
    const TKey key = TKey::Major(2); // D
    const int horn = score.AddPart("Horns", 0, kHorn, 100, 76, 70);
    const int trumpet = score.AddPart("Trumpet", 1, kTrumpet, 88, 84, 70);
    const int strings = score.AddPart("Strings", 2, kStrings, 92, 44, 80);
    const int low = score.AddPart("Low strings", 3, kContrabass, 100, 56, 60);
    const int harp = score.AddPart("Harp", 4, kHarp, 84, 30, 70);
    const int choir = score.AddPart("Choir", 5, kChoir, 78, 64, 90);
    const int timpani = score.AddPart("Timpani", 6, kTimpani, 96, 64, 60);
    const int violins = score.AddPart("Violins", 7, kStrings, 96, 36, 80);
    const int drums = score.AddPart("Cymbals", TScore::kDrumChannel, 48, 70, 64, 80);

    const TProgression intro = Progression({"Dsus2", "Bb", "C", "Dsus4"});
    const TProgression a = Progression({"D", "Bb", "C", "D", "D", "Bb", "G", "A"});
    const TProgression aEnd = Progression({"D", "Bb", "C", "D", "D", "Bb", "A", "D"});
    const TProgression b = Progression({"Bm", "G", "D", "A", "Bm", "G", "Em", "Asus4"});
    const TProgression outro = Progression({"D", "Bb", "C", "D", "D"});

    TMelodyStyle style;
    style.Rhythms = {{2, 1, 1}, {1.5, 0.5, 2}, {3, 1}, {1, 1, 2}, {1, 0.5, 0.5, 2}, {2, 2}};
    style.Cadences = {{4}, {3, -1}, {1, 3}};
    style.Low = 55;
    style.High = 74;
    style.LeapChance = 0.2;
    // The closing statement is the same tune until its last two bars, which
    // turn home: the same choices over the same chords give the same notes.
    TArtRandom replay = score.Random();
    const TLine themeA = ComposeMelody(score.Random(), key, a, style, 4);
    const TLine themeAEnd = ComposeMelody(replay, key, aEnd, style, 4);
    TMelodyStyle bStyle = style;
    bStyle.Rhythms = {{3, 1}, {2, 2}, {1.5, 0.5, 1, 1}, {4}};
    bStyle.Low = 62;
    bStyle.High = 81;
    const TLine themeB = ComposeMelody(score.Random(), key, b, bStyle, 4);

    // Intro: harp and strings rise out of nothing.
    WriteArpeggio(score, harp, 0, intro, 50, 26, 0.5, 52, 70);
    WriteChords(score, strings, 0, intro, 50, 69, 4, "X-------", 40, 66);
    WriteBass(score, timpani, 3, Progression({"D"}), 38, "................RRRRRRRRRRRRRRRR", 40, 70);
    // A: the horns give the theme.
    WriteLine(score, horn, 4, themeA, 86);
    WriteChords(score, strings, 4, a, 50, 69, 4, "X-------", 64);
    WriteArpeggio(score, harp, 4, a, 50, 26, 0.5, 50);
    WriteBass(score, low, 4, a, 38, "R-------", 84);
    WriteBass(score, timpani, 4, a, 38, "R.......", 76);
    WriteDrums(score, drums, 4, 1, {{kCrash, "x"}}, 70);
    // A again, fuller: trumpet on the theme, horns an octave below, choir.
    WriteLine(score, trumpet, 12, themeA, 88, 12);
    WriteLine(score, horn, 12, themeA, 84);
    WriteChords(score, choir, 12, a, 55, 74, 3, "X-------", 60, 74);
    WriteChords(score, strings, 12, a, 50, 69, 4, "X---X---", 70);
    WriteBass(score, low, 12, a, 38, "R---F---", 90);
    WriteBass(score, timpani, 12, a, 38, "R...R...", 82);
    WriteDrums(score, drums, 12, 1, {{kCrash, "X"}}, 84);
    // B: the violins sing a second theme over the relative minor; horns answer.
    WriteLine(score, violins, 20, themeB, 80);
    WriteLine(score, horn, 20, CounterLine(themeB, key, b, 52, 67, 4, 2), 66);
    WriteChords(score, choir, 20, b, 55, 72, 3, "X-------", 56);
    WriteArpeggio(score, harp, 20, b, 47, 24, 0.5, 48);
    WriteBass(score, low, 20, b, 38, "R-------", 78);
    WriteBass(score, timpani, 27, Progression({"A"}), 38, "RRRRRRRRRRRRRRRR", 44, 96);
    // A for the last time, closing on the tonic, with everything.
    WriteLine(score, trumpet, 28, themeAEnd, 96, 12);
    WriteLine(score, horn, 28, themeAEnd, 90);
    WriteLine(score, violins, 28, CounterLine(themeAEnd, key, aEnd, 62, 79, 4, 2), 74);
    WriteChords(score, choir, 28, aEnd, 55, 74, 3, "X-------", 76);
    WriteChords(score, strings, 28, aEnd, 50, 69, 4, "X---X---", 78);
    WriteBass(score, low, 28, aEnd, 38, "R---F---", 96);
    WriteBass(score, timpani, 28, aEnd, 38, "R...R...", 90);
    WriteDrums(score, drums, 28, 1, {{kCrash, "X"}}, 92);
    // Outro: the opening bars of the theme, softly, then the last chord.
    WriteLine(score, horn, 36, Head(themeA, 8), 72);
    WriteLine(score, horn, 36, {{8, 12, 62, 0}}, 70, 0, 0.98);
    WriteChords(score, strings, 36, outro, 50, 69, 4, "X-------", 64, 52);
    WriteChords(score, choir, 36, outro, 55, 74, 3, "X-------", 62, 48);
    WriteArpeggio(score, harp, 36, Progression({"D", "Bb", "C", "D"}), 50, 26, 0.5, 48, 36);
    WriteBass(score, low, 36, outro, 38, "R-------", 80, 64);
    WriteBass(score, timpani, 40, Progression({"D"}), 38, "R.......", 70);
    WriteDrums(score, drums, 40, 1, {{kCrash, "x"}}, 60);
    score.Ritardando(38, 3, 58);
    return Finish(score, "Title.mid", "Quorvex", "majestic title theme", bpm);
}

TMusicPiece TMusicComposer::Exploration() {
    const double bpm = 66;
    TScore score("Quorvex - Drift", bpm, 4, 0xD21F7);
    const TKey key = TKey::Lydian(5); // F lydian
    const int flute = score.AddPart("Flute", 0, kFlute, 112, 70, 90);
    const int pad = score.AddPart("Warm pad", 1, kWarmPad, 100, 58, 100);
    const int vibes = score.AddPart("Vibraphone", 2, kVibraphone, 100, 40, 90);
    const int bass = score.AddPart("Fretless bass", 3, kFretless, 112, 64, 50);
    const int clarinet = score.AddPart("Clarinet", 4, kClarinet, 104, 86, 80);
    const int strings = score.AddPart("Slow strings", 5, kSlowStrings, 100, 50, 100);
    const int celesta = score.AddPart("Celesta", 6, kCelesta, 92, 90, 100);
    const int choir = score.AddPart("Choir pad", 7, kChoirPad, 88, 70, 110);
    const int shaker = score.AddPart("Shaker", TScore::kDrumChannel, 0, 72, 80, 70);

    const TProgression intro = Progression({"Fmaj7", "G/F", "Fmaj7", "G/F"});
    const TProgression a = Progression({"Fmaj7", "G/F", "Fmaj7", "G/F", "Am7", "Em7", "Dm7", "Gsus4"});
    const TProgression b = Progression({"Dm7", "Am7", "Bbmaj7", "Fmaj7", "Dm7", "Em7", "Bbmaj7", "Csus4"});
    const TProgression bridge = Progression({"Am7", "Em7", "Bbmaj7", "Fmaj7"});
    const TProgression outro = Progression({"Fmaj7", "G/F", "Fmaj7", "Fmaj7"});

    TMelodyStyle style;
    style.Rhythms = {{3, 1}, {2, -1, 1}, {1.5, 0.5, 2}, {2, 2}, {-1, 1, 2}, {1, 1, 2}};
    style.Cadences = {{4}, {3, -1}, {2, -2}};
    style.Low = 69;
    style.High = 86;
    style.LeapChance = 0.22;
    const TLine themeA = ComposeMelody(score.Random(), key, a, style, 4);
    TMelodyStyle bStyle = style;
    bStyle.Low = 62;
    bStyle.High = 79;
    bStyle.Rhythms = {{2, 2}, {3, 1}, {1, 1, 1, 1}, {1.5, 0.5, 2}};
    const TLine themeB = ComposeMelody(score.Random(), key, b, bStyle, 4);

    // Intro: a pad and a slow glimmer of broken chords.
    WriteChords(score, pad, 0, intro, 53, 72, 4, "X-------", 50, 64);
    WriteArpeggio(score, celesta, 0, intro, 65, 19, 0.5, 44, 56);
    WriteBass(score, bass, 2, Progression({"F", "G/F"}), 29, "R-------", 70);
    // A: the flute.
    WriteLine(score, flute, 4, themeA, 78, 0, 0.95);
    WriteChords(score, pad, 4, a, 53, 72, 4, "X-------", 62);
    WriteArpeggio(score, vibes, 4, a, 57, 19, 0.5, 52);
    WriteBass(score, bass, 4, a, 29, "R-------", 76);
    // B: the clarinet, with a soft shaker.
    WriteLine(score, clarinet, 12, themeB, 76, 0, 0.95);
    WriteChords(score, strings, 12, b, 53, 72, 4, "X-------", 58);
    WriteArpeggio(score, vibes, 12, b, 57, 19, 0.5, 50);
    WriteBass(score, bass, 12, b, 29, "R---F---", 78);
    WriteDrums(score, shaker, 12, 8, {{kMaracas, "..x...x...x...x."}, {kTriangle, "x..............................."}},
               52);
    // A again, the strings answering the flute.
    WriteLine(score, flute, 20, themeA, 82, 0, 0.95);
    WriteLine(score, strings, 20, CounterLine(themeA, key, a, 57, 72, 4, 2), 62);
    WriteChords(score, pad, 20, a, 53, 72, 4, "X-------", 60);
    WriteArpeggio(score, vibes, 20, a, 57, 19, 0.5, 52);
    WriteBass(score, bass, 20, a, 29, "R-------", 78);
    WriteDrums(score, shaker, 20, 8, {{kMaracas, "..o...o...o...o."}}, 50);
    // Bridge: only light, far away.
    WriteChords(score, choir, 28, bridge, 57, 76, 3, "X-------", 56);
    WriteArpeggio(score, celesta, 28, bridge, 65, 19, 0.5, 46);
    WriteBass(score, bass, 30, Progression({"Bbmaj7", "Fmaj7"}), 29, "R-------", 66);
    // B again, the flute on it, the clarinet beneath.
    WriteLine(score, flute, 32, themeB, 80, 12, 0.95);
    WriteLine(score, clarinet, 32, CounterLine(themeB, key, b, 55, 70, 4, 2), 64);
    WriteChords(score, pad, 32, b, 53, 72, 4, "X-------", 60);
    WriteArpeggio(score, vibes, 32, b, 57, 19, 0.5, 50);
    WriteBass(score, bass, 32, b, 29, "R---F---", 78);
    WriteDrums(score, shaker, 32, 8, {{kMaracas, "..x...x...x...x."}}, 50);
    // Outro: the theme's first bars, and the glimmer fading.
    WriteLine(score, flute, 40, Head(themeA, 8), 70, 0, 0.95);
    WriteChords(score, pad, 40, outro, 53, 72, 4, "X-------", 60, 44);
    WriteArpeggio(score, celesta, 40, outro, 65, 19, 0.5, 50, 30);
    WriteBass(score, bass, 40, outro, 29, "R-------", 70, 56);
    score.Ritardando(42, 2, 56);
    return Finish(score, "Drift.mid", "Drift", "calm exploration", bpm);
}

TMusicPiece TMusicComposer::Tension() {
    const double bpm = 132;
    TScore score("Quorvex - Pursuit", bpm, 4, 0x7E25);
    const TKey key = TKey::Phrygian(4); // E phrygian
    const int ostinato = score.AddPart("Ostinato strings", 0, kStrings, 92, 50, 60);
    const int bass = score.AddPart("Synth bass", 1, kSynthBass, 96, 64, 30);
    const int horns = score.AddPart("Horns", 2, kHorn, 104, 80, 60);
    const int brass = score.AddPart("Brass", 3, kBrass, 84, 74, 60);
    const int tremolo = score.AddPart("Tremolo strings", 4, kTremolo, 78, 40, 80);
    const int timpani = score.AddPart("Timpani", 5, kTimpani, 96, 64, 50);
    const int trumpets = score.AddPart("Trumpets", 6, kTrumpet, 82, 88, 60);
    const int pizzicato = score.AddPart("Pizzicato", 7, kPizzicato, 84, 30, 60);
    const int drums = score.AddPart("Drums", TScore::kDrumChannel, 0, 96, 64, 40);

    const TProgression intro = Progression({"Em", "Em", "Em", "F"});
    const TProgression a = Progression({"Em", "Em", "C", "B", "Em", "F", "Em", "B"});
    const TProgression b = Progression({"C", "C", "Am", "Am", "F", "F", "B7", "B7"});

    TMelodyStyle style;
    style.Rhythms = {{4}, {2, 2}, {3, 1}, {1.5, 0.5, 2}, {1, 1, 2}};
    style.Cadences = {{4}, {2, 2}};
    style.Low = 52;
    style.High = 69;
    style.LeapChance = 0.12;
    const TLine themeA = ComposeMelody(score.Random(), key, a, style, 4);
    TMelodyStyle bStyle = style;
    bStyle.Rhythms = {{2, 2}, {1, 1, 2}, {3, 1}, {1, 1, 1, 1}};
    bStyle.Low = 59;
    bStyle.High = 76;
    const TLine themeB = ComposeMelody(score.Random(), key, b, bStyle, 4);

    const std::string pulse = "RRORFROR";
    const std::vector<std::pair<int, std::string>> groove = {
        {kKick, "X.....x.X.....x."}, {kHighFloorTom, "..o...x...o..xx."}, {kClosedHat, "x.x.x.x.x.x.x.x."}};
    const std::vector<std::pair<int, std::string>> drive = {{kKick, "X.....x.X.....x."},
                                                            {kSnare, "....X.......X..."},
                                                            {kFloorTom, "..o......o...xx."},
                                                            {kClosedHat, "x.x.x.x.x.x.x.x."}};

    // Intro: the pulse alone, the drums creeping in.
    WriteBass(score, ostinato, 0, intro, 52, pulse, 58, 80);
    WriteDrums(score, drums, 1, 1, {{kClosedHat, "x.x.x.x.x.x.x.x."}}, 44);
    WriteDrums(score, drums, 2, 2, groove, 56, 74);
    WriteBass(score, timpani, 3, Progression({"F"}), 40, "R.......RRRRRRRR", 50, 90);
    // A: pulse, bass and drums.
    WriteBass(score, ostinato, 4, a, 52, pulse, 80);
    WriteBass(score, bass, 4, a, 28, "R.RRR.RR", 84);
    WriteDrums(score, drums, 4, 8, groove, 78);
    WriteDrums(score, drums, 4, 1, {{kCrash, "X"}}, 80);
    // A again: the horns take the theme, the brass stabs.
    WriteBass(score, ostinato, 12, a, 52, pulse, 82);
    WriteBass(score, bass, 12, a, 28, "R.RRR.RR", 86);
    WriteLine(score, horns, 12, themeA, 88);
    WriteChords(score, brass, 12, a, 52, 67, 3, "X..X..X.", 70);
    WriteDrums(score, drums, 12, 8, groove, 82);
    WriteDrums(score, drums, 12, 1, {{kCrash, "X"}}, 86);
    // B: half the drive, shivering strings, a second theme.
    WriteChords(score, tremolo, 20, b, 64, 81, 3, "X-------", 62, 84);
    WriteLine(score, horns, 20, themeB, 84);
    WriteBass(score, pizzicato, 20, b, 52, "R.F.O.F.", 72);
    WriteBass(score, bass, 20, b, 28, "R-------", 84);
    WriteBass(score, timpani, 20, b, 40, "R.......R.......", 78);
    WriteDrums(score, drums, 20, 8, {{kKick, "X.......X......."}, {kClosedHat, "....x.......x..."}}, 70);
    WriteDrums(score, drums, 27, 1, {{kSnare, "........xxxxXXXX"}}, 60, 90);
    // A for the third time, with everything.
    WriteBass(score, ostinato, 28, a, 52, pulse, 86);
    WriteBass(score, bass, 28, a, 28, "R.RRR.RR", 90);
    WriteLine(score, horns, 28, themeA, 94);
    WriteLine(score, trumpets, 28, themeA, 80, 12);
    WriteChords(score, brass, 28, a, 52, 67, 3, "X..X..X.", 78);
    WriteDrums(score, drums, 28, 8, drive, 86);
    WriteDrums(score, drums, 28, 1, {{kCrash, "X"}}, 94);
    // B again, the tremolo and the theme with a counter voice.
    WriteChords(score, tremolo, 36, b, 64, 81, 3, "X-------", 70, 92);
    WriteLine(score, trumpets, 36, themeB, 80);
    WriteLine(score, horns, 36, CounterLine(themeB, key, b, 50, 64, 4, 2), 80);
    WriteBass(score, ostinato, 36, b, 52, pulse, 80);
    WriteBass(score, bass, 36, b, 28, "R.RRR.RR", 86);
    WriteDrums(score, drums, 36, 8, drive, 84);
    WriteDrums(score, drums, 36, 1, {{kCrash, "X"}}, 90);
    // Outro: the pulse thins, one last blow.
    WriteBass(score, ostinato, 44, Progression({"Em", "F", "Em"}), 52, pulse, 80, 60); // then the last blow
    WriteDrums(score, drums, 44, 3, groove, 76, 56);
    WriteBass(score, timpani, 46, Progression({"Em"}), 40, "........RRRRRRRR", 50, 96);
    WriteChords(score, brass, 47, Progression({"Em"}), 52, 67, 3, "X.......", 100);
    WriteChords(score, tremolo, 47, Progression({"Em"}), 52, 71, 4, "X-------", 90);
    WriteBass(score, bass, 47, Progression({"Em"}), 28, "R-------", 100);
    WriteBass(score, timpani, 47, Progression({"Em"}), 40, "R.......", 110);
    WriteDrums(score, drums, 47, 1, {{kCrash, "X"}, {kKick, "X"}}, 100);
    return Finish(score, "Pursuit.mid", "Pursuit", "tension", bpm);
}

TMusicPiece TMusicComposer::Victory() {
    const double bpm = 108;
    TScore score("Quorvex - Triumph", bpm, 4, 0x7219);
    const TKey key = TKey::Major(10); // B flat
    const int trumpet = score.AddPart("Trumpet", 0, kTrumpet, 100, 72, 60);
    const int brass = score.AddPart("Brass", 1, kBrass, 90, 84, 60);
    const int horns = score.AddPart("Horns", 2, kHorn, 92, 90, 70);
    const int strings = score.AddPart("Strings", 3, kStrings, 88, 40, 70);
    const int tuba = score.AddPart("Tuba", 4, kTuba, 96, 64, 40);
    const int timpani = score.AddPart("Timpani", 5, kTimpani, 96, 64, 50);
    const int glock = score.AddPart("Glockenspiel", 6, kGlockenspiel, 74, 50, 70);
    const int trombone = score.AddPart("Trombone", 7, kTrombone, 88, 80, 60);
    const int drums = score.AddPart("Drums", TScore::kDrumChannel, 0, 92, 64, 50);

    const TProgression fanfare = Progression({"Bb", "F"});
    const TProgression a = Progression({"Bb", "Eb", "F", "Bb", "Gm", "Eb", "F", "Bb"});
    const TProgression b = Progression({"Eb", "F", "Dm", "Gm", "Cm", "F", "Bb", "F"});
    const TProgression coda = Progression({"Bb", "Eb", "Gm", "Eb", "F7", "Bb"});

    TMelodyStyle style;
    style.Rhythms = {{1, 0.5, 0.5, 1, 1}, {0.75, 0.25, 1, 2}, {1, 1, 1, 1}, {2, 1, 1}, {0.5, 0.5, 1, 2},
                     {1.5, 0.5, 1, 1}};
    style.Cadences = {{2, 2}, {4}, {1, 1, 2}};
    style.Low = 62;
    style.High = 79;
    style.LeapChance = 0.28;
    const TLine themeA = ComposeMelody(score.Random(), key, a, style, 4);
    TMelodyStyle bStyle = style;
    bStyle.Low = 55;
    bStyle.High = 72;
    bStyle.Rhythms = {{2, 1, 1}, {1, 1, 2}, {1.5, 0.5, 2}, {3, 1}};
    const TLine themeB = ComposeMelody(score.Random(), key, b, bStyle, 4);

    const std::vector<std::pair<int, std::string>> march = {
        {kSnare, "x.oxx.x.x.oxX.x."}, {kKick, "X.......x......."}};

    // Fanfare: brass chords over a snare roll.
    WriteChords(score, brass, 0, fanfare, 53, 72, 4, "X..XX.X-", 96);
    WriteChords(score, trombone, 0, fanfare, 46, 60, 2, "X..XX.X-", 90);
    WriteDrums(score, drums, 0, 2, {{kSnare, "................xxxxxxxxxxxxxxxx"}}, 50, 96);
    WriteBass(score, timpani, 0, fanfare, 34, "R..RR.R.", 90);
    // A: the trumpet's tune over a march.
    WriteLine(score, trumpet, 2, themeA, 92, 0, 0.85);
    WriteChords(score, strings, 2, a, 53, 72, 4, "X---X---", 72);
    WriteBass(score, tuba, 2, a, 34, "R...F...", 88);
    WriteDrums(score, drums, 2, 8, march, 76);
    WriteDrums(score, drums, 2, 1, {{kCrash, "X"}}, 90);
    // B: the horns, strings answering, timpani.
    WriteLine(score, horns, 10, themeB, 88);
    WriteLine(score, strings, 10, CounterLine(themeB, key, b, 65, 79, 4, 2), 74);
    WriteChords(score, trombone, 10, b, 46, 62, 3, "X---X---", 70);
    WriteBass(score, tuba, 10, b, 34, "R...R...", 84);
    WriteBass(score, timpani, 10, b, 34, "R.......R.......", 80);
    WriteDrums(score, drums, 10, 8, {{kSnare, "x...x...x...x.xx"}, {kKick, "X.......X......."}}, 66);
    WriteDrums(score, drums, 17, 1, {{kSnare, "........xxxxxxxx"}}, 60, 96);
    // A again, in full: trumpet and glockenspiel, brass stabs, horns beneath.
    WriteLine(score, trumpet, 18, themeA, 98, 0, 0.85);
    WriteLine(score, glock, 18, themeA, 70, 12, 0.6);
    WriteLine(score, horns, 18, CounterLine(themeA, key, a, 55, 70, 4, 2), 80);
    WriteChords(score, brass, 18, a, 53, 70, 3, "X..X..X.", 80);
    WriteChords(score, strings, 18, a, 53, 72, 4, "X---X---", 78);
    WriteBass(score, tuba, 18, a, 34, "R.F.R.F.", 92);
    WriteBass(score, timpani, 18, a, 34, "R...R...", 84);
    WriteDrums(score, drums, 18, 8, march, 84);
    WriteDrums(score, drums, 18, 1, {{kCrash, "X"}}, 96);
    // Coda: broad chords, a roll, the last chord.
    WriteChords(score, brass, 26, coda, 53, 72, 4, "X---X---", 88, 104);
    WriteChords(score, strings, 26, coda, 55, 76, 4, "X-------", 80, 96);
    WriteLine(score, trumpet, 26, Head(themeA, 8), 94, 0, 0.85);
    WriteLine(score, trumpet, 26, {{8, 4, 74, 0}, {12, 4, 79, 0}, {16, 8, 77, 6}}, 96, 0, 0.95);
    WriteBass(score, tuba, 26, coda, 34, "R---F---", 90);
    WriteBass(score, timpani, 30, Progression({"F"}), 34, "RRRRRRRRRRRRRRRR", 60, 110);
    WriteBass(score, timpani, 31, Progression({"Bb"}), 34, "R.......", 112);
    WriteDrums(score, drums, 30, 1, {{kSnare, "xxxxxxxxxxxxxxxx"}}, 60, 100);
    WriteDrums(score, drums, 31, 1, {{kCrash, "X"}, {kKick, "X"}}, 104);
    score.Ritardando(30, 2, 84);
    return Finish(score, "Triumph.mid", "Triumph", "victory", bpm);
}

std::vector<TMusicPiece> TMusicComposer::Pieces() { return {Title(), Exploration(), Tension(), Victory()}; }

} // namespace qx::art
