// The checks of a part file as a whole, from small files written for each
// rule, at its edges: what the file is read as, where its header ends,
// what each check finds, and the mends that cannot change what the part
// is.
#include "ldraw/file_checks.h"

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ldraw/analysis.h"
#include "ldraw/catalogue.h"

namespace skewquad {
namespace {

// A header that passes every check, in lib/parts/3068bp0z.dat.
const std::string kPath = "lib/parts/3068bp0z.dat";
const std::string kGood =
    "0 Tile  2 x  2 with Red Stripe Pattern\n"
    "0 Name: 3068bp0z.dat\n"
    "0 Author: Jane Doe [jdoe]\n"
    "0 !LDRAW_ORG Unofficial_Part\n"
    "0 !LICENSE Licensed under CC BY 4.0 : see CAreadme.txt\n"
    "\n"
    "0 BFC CERTIFY CCW\n"
    "\n"
    "0 !CATEGORY Tile\n"
    "0 !KEYWORDS Set 6399, Stripe\n"
    "\n"
    "0 !HISTORY 2026-01-02 [jdoe] First version\n"
    "\n"
    "0 // The top\n"
    "1 16 0 0 0 1 0 0 0 1 0 0 0 1 3068b.dat\n";

// `text` with the line `from` (its words, with its end) written `to`.
std::string with(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

class Found final : public FindingSink {
 public:
  void take(const Finding& finding) override {
    std::string one = std::to_string(finding.line_number) + " " + check_name(finding.check);
    if (!finding.text.empty()) one += " [" + std::string(finding.text) + "]";
    if (finding.role == MendRole::kCarrier) one += " (mended)";
    findings.push_back(one);
  }
  std::vector<std::string> findings;
};

Analysis file_checks(bool mends = false) {
  return {scan_rules({}, {false, false, false, false, true}),
          {mends, MendLevel::kErrors, true},
          nullptr};
}

// Every finding of the part `text` at `path`, as "line check [text]", in the
// order told.
std::vector<std::string> findings_of(const std::string& text, const std::string& path = kPath) {
  LineReader reader;
  reader.restart(text);
  RunTally tally;
  Found found;
  analyse_file(reader, FileText{path, nullptr, text}, file_checks(), tally, found);
  return found.findings;
}

using Findings = std::vector<std::string>;

TEST(FileChecks, PassAHeaderThatKeepsEveryRuleAndReadItsValuesFromTheWholeFile) {
  EXPECT_EQ(findings_of(kGood), Findings{});
  // A comment above !CATEGORY ends the header: the three lines below it are
  // in the body, yet still give their values.
  const std::string moved = with(with(kGood, "0 // The top\n", ""), "0 !CATEGORY Tile\n",
                                 "0 // The top\n0 !CATEGORY Tile\n");
  EXPECT_EQ(findings_of(moved),
            (Findings{"10 invalid_meta [!CATEGORY]", "11 invalid_meta [!KEYWORDS]",
                      "13 invalid_meta [!HISTORY]"}));
  // Above the BFC line, the part is no longer certified: the BFC line in
  // the body is well-formed, so no invalid meta of its own.
  const std::string above_bfc = with(with(kGood, "0 // The top\n", ""), "0 BFC CERTIFY CCW\n",
                                     "0 // The top\n0 BFC CERTIFY CCW\n");
  EXPECT_EQ(findings_of(above_bfc),
            (Findings{"10 invalid_meta [!CATEGORY]", "11 invalid_meta [!KEYWORDS]",
                      "13 invalid_meta [!HISTORY]", "0 bfc_not_ccw"}));
  // A Name: line that landed in the body still names the file.
  EXPECT_EQ(findings_of(with(kGood, "0 Name: 3068bp0z.dat\n", "") + "0 Name: 3068bp0z.dat\n"),
            Findings{"15 invalid_meta [Name:]"});
  // Models are not parts: nothing is looked for.
  EXPECT_EQ(findings_of("0 STEP\n", "lib/model.ldr"), Findings{});
  EXPECT_EQ(findings_of("0 STEP\n", "lib/model.mpd"), Findings{});
}

TEST(FileChecks, ReadLinesAsWordsAndEmptyLinesAsSpacers) {
  // Runs of white space read as one space: a tab after the keyword, CR LF
  // line ends, form feeds and vertical tabs.
  std::string spaced = with(kGood, "0 Name: 3068bp0z.dat\n", "0\tName:\v 3068bp0z.dat\f\r\n");
  spaced = with(spaced, "0 !LICENSE Licensed under CC BY 4.0 : see CAreadme.txt\n",
                "0 !LICENSE Licensed  under CC BY 4.0  :  see CAreadme.txt\r\n");
  EXPECT_EQ(findings_of(spaced), Findings{});
  // `0` and `0 //` are spacers in the header and the body; `0//text` is no
  // meta at all, and ends the header.
  EXPECT_EQ(findings_of(with(kGood, "\n0 BFC CERTIFY CCW\n", "0\n0 //\n0 BFC CERTIFY CCW\n")),
            Findings{});
  EXPECT_EQ(findings_of(with(kGood, "0 !CATEGORY Tile\n", "0//text\n0 !CATEGORY Tile\n")),
            (Findings{"10 invalid_meta [!CATEGORY]", "11 invalid_meta [!KEYWORDS]",
                      "13 invalid_meta [!HISTORY]"}));
  // The description is the first line holding a word; white-space lines
  // are passed over, a spacer is not. Without it, the line meant for it
  // is an unknown meta, which ends the header.
  EXPECT_EQ(findings_of(" \t\n" + kGood), Findings{});
  const Findings none_given = findings_of("0\n" + kGood);
  EXPECT_EQ(none_given.front(), "2 invalid_meta [Tile]");
  EXPECT_EQ(std::count(none_given.begin(), none_given.end(), "0 missing_description"), 1);
  const Findings commented = findings_of(with(kGood, "0 Tile  2 x  2 with Red Stripe Pattern\n",
                                              "0 // Tile 2 x 2 with Red Stripe Pattern\n"));
  EXPECT_EQ(commented.front(), "2 invalid_meta [Name:]");
  EXPECT_EQ(std::count(commented.begin(), commented.end(), "0 missing_description"), 1);
  // An unknown second word is just the description's text.
  EXPECT_EQ(
      findings_of(with(kGood, "0 Tile  2 x  2 with Red Stripe Pattern\n", "0 STEP Pattern\n")),
      Findings{});
}

TEST(FileChecks, FindWhatTheHeaderLacksOrHoldsMalformed) {
  const std::string bare = "4 16 0 0 0 1 0 0 1 1 0 0 1 0\n";
  EXPECT_EQ(findings_of(bare),
            (Findings{"0 missing_description", "0 missing_name", "0 missing_author",
                      "0 missing_ldraw_org", "0 missing_license", "0 bfc_not_ccw"}));
  // A Name: of two words is none; the first well-formed Author: decides,
  // even when it names nobody; !LICENSE alone gives no text.
  std::string malformed = with(kGood, "0 Name: 3068bp0z.dat\n", "0 Name: 3068bp0z .dat\n");
  malformed = with(malformed, "0 Author: Jane Doe [jdoe]\n",
                   "0 Author: Willy [Willy T]\n0 Author:\n0 Author: Jane Doe [jdoe]\n");
  malformed =
      with(malformed, "0 !LICENSE Licensed under CC BY 4.0 : see CAreadme.txt\n", "0 !LICENSE\n");
  EXPECT_EQ(findings_of(malformed),
            (Findings{"0 missing_name", "0 missing_author", "0 missing_license"}));
  // A licence is compared as its words joined, exactly.
  EXPECT_EQ(findings_of(with(kGood, "Licensed under", "licensed under")),
            Findings{"0 license_not_approved [licensed under CC BY 4.0 : see CAreadme.txt]"});
  // !LDRAW_ORG: the type as written or after Unofficial, a qualifier,
  // ORIGINAL or UPDATE, a release, and nothing else.
  for (const char* type :
       {"Part UPDATE 2019-02", "UnofficialPart", "Part ORIGINAL", "Unofficial_Shortcut 2024-01"}) {
    EXPECT_EQ(findings_of(with(kGood, "Unofficial_Part", type)), Findings{}) << type;
  }
  for (const char* type : {"Part UPDATE 2019-02-01", "Unofficial Part", "part", "Part Bogus"}) {
    EXPECT_EQ(findings_of(with(kGood, "Unofficial_Part", type)), Findings{"0 missing_ldraw_org"})
        << type;
  }
  // The header's BFC line: exactly CERTIFY CCW, in upper case; a malformed
  // one ends the header too.
  EXPECT_EQ(findings_of(with(kGood, "0 BFC CERTIFY CCW\n", "0 BFC CERTIFY\n")),
            Findings{"0 bfc_not_ccw [0 BFC CERTIFY]"});
  EXPECT_EQ(findings_of(with(kGood, "0 BFC CERTIFY CCW\n", "0 BFC NOCERTIFY\n")),
            Findings{"0 bfc_not_ccw [0 BFC NOCERTIFY]"});
  EXPECT_EQ(
      findings_of(with(kGood, "0 BFC CERTIFY CCW\n", "0 BFC certify ccw\n")),
      (Findings{"7 invalid_meta [BFC]", "9 invalid_meta [!CATEGORY]", "10 invalid_meta [!KEYWORDS]",
                "12 invalid_meta [!HISTORY]", "0 bfc_not_ccw"}));
}

TEST(FileChecks, FindMalformedHistoryAndMetasTheBodyMayNotHold) {
  for (const char* history : {"2002-08-18 [PTadmin] Official Update 2002-04",
                              "1999-01-01 {James Jessiman} Original part"}) {
    EXPECT_EQ(findings_of(with(kGood, "2026-01-02 [jdoe] First version", history)), Findings{})
        << history;
  }
  for (const char* history :
       {"2007-06-27 [Willy Tschager] Initial version", "2002-0818 [PTadmin] Official",
        "2002-08-18 [PTadmin]", "02-08-18 {x} y", "2002-08-18 {} y"}) {
    EXPECT_EQ(findings_of(with(kGood, "2026-01-02 [jdoe] First version", history)),
              Findings{"12 history_invalid"})
        << history;
  }
  // In the body: comments, well-formed BFC, !TEXMAP and !: lines, and
  // nothing else; empty lines are never metas.
  const std::string body =
      "0 BFC CERTIFY CCW\n0 BFC INVERTNEXT\n0 BFC CLIP CW\n"
      "0 !TEXMAP START PLANAR -20 0 10 20 0 10 -20 0 -10 3001p01.png\n"
      "0 !TEXMAP NEXT SPHERICAL 1 2 3 4 5 6 7 8 9 10 .5 a.PNG GLOSSMAP b.png\n"
      "0 !: 3 16 0 0 0 1 0 0 0 1 0\n0 !TEXMAP FALLBACK\n0 !TEXMAP END\n0\n0 //\n"
      // and the faults:
      "0 STEP\n0 //comment\n0 ! HISTORY x\n0 !COLOUR Red\n0 BFC CERTIFY INVERTNEXT\n"
      "0 !TEXMAP START PLANAR 1 2 3 4 5 6 7 8 9 10 a.png\n0 !TEXMAP START PLANAR 1 2 3 4 5 6 7 8 "
      "1e5 a.png\n0 !TEXMAP END PLANAR\n0 !: 0 // x\n0 !:\n0 name: x.dat\n";
  EXPECT_EQ(
      findings_of(kGood + body),
      (Findings{"26 invalid_meta [STEP]", "27 invalid_meta [//comment]", "28 invalid_meta [!]",
                "29 invalid_meta [!COLOUR]", "30 invalid_meta [BFC]", "31 invalid_meta [!TEXMAP]",
                "32 invalid_meta [!TEXMAP]", "33 invalid_meta [!TEXMAP]", "34 invalid_meta [!:]",
                "35 invalid_meta [!:]", "36 invalid_meta [name:]"}));
}

TEST(FileChecks, CompareTheNameWithTheFileItsTypeAndItsFolder) {
  // The file's own name in any case; its folder from the path, made
  // absolute, so that the path given does not matter.
  EXPECT_EQ(findings_of(kGood, "lib/parts/3068BP0Z.DAT"), Findings{});
  EXPECT_EQ(findings_of(kGood, "lib/parts/../parts/./3068bp0z.dat"), Findings{});
  EXPECT_EQ(findings_of(kGood, "lib/parts/3068bp0y.dat"),
            Findings{"0 name_mismatch [3068bp0z.dat in the file 3068bp0y.dat]"});
  EXPECT_EQ(findings_of(kGood, "lib/parts/s/3068bp0z.dat"),
            Findings{"0 folder_type_mismatch [a Part belongs in parts]"});
  EXPECT_EQ(findings_of(kGood, "3068bp0z.dat").back().substr(0, 22), "0 folder_type_mismatch");
  // A subpart's Name needs its prefix with a backslash, in any case.
  const std::string subpart =
      with(with(with(kGood, "Unofficial_Part", "Unofficial_Subpart"), "0 Tile", "0 ~Tile"),
           "0 Name: 3068bp0z.dat", "0 Name: S\\3068BP0Z.DAT");
  EXPECT_EQ(findings_of(subpart, "lib/parts/s/3068bp0z.dat"), Findings{});
  EXPECT_EQ(findings_of(with(subpart, "S\\3068BP0Z", "s/3068bp0z"), "lib/parts/s/3068bp0z.dat"),
            Findings{"0 name_type_mismatch [s/3068bp0z.DAT, expected s\\3068bp0z.DAT]"});
  EXPECT_EQ(findings_of(with(kGood, "0 Name: 3068bp0z.dat", "0 Name: parts\\3068bp0z.dat")),
            Findings{"0 name_type_mismatch [parts\\3068bp0z.dat, expected 3068bp0z.dat]"});
  // A 48_Primitive in p/48, named with 48\.
  const std::string primitive =
      "0 Cylinder 1.0\n0 Name: 48\\4-4cyli.dat\n0 Author: A [a]\n"
      "0 !LDRAW_ORG 48_Primitive UPDATE 2012-01\n"
      "0 !LICENSE Licensed under CC BY 4.0 : see CAreadme.txt\n"
      "0 BFC CERTIFY CCW\n";
  EXPECT_EQ(findings_of(primitive, "lib/p/48/4-4cyli.dat"), Findings{});
  EXPECT_EQ(findings_of(primitive, "lib/p/4-4cyli.dat"),
            Findings{"0 folder_type_mismatch [a 48_Primitive belongs in p/48]"});
  // x at the start of the base name, in any type.
  EXPECT_EQ(findings_of(with(subpart, "S\\3068BP0Z", "s\\X3068bp0z"), "lib/parts/s/x3068bp0z.dat"),
            Findings{"0 x_prefix_name [X3068bp0z.DAT]"});
  // The file's name is UTF-8; the Name is compared as the text reads, so a
  // Latin-1 file's byte E9 is the é of the name, and a name that is not
  // UTF-8 is no Name's.
  const std::string latin1 = with(kGood, "3068bp0z.dat\n", "caf\xE9.dat\n");
  EXPECT_EQ(findings_of(latin1, "lib/parts/caf\xC3\xA9.dat"), Findings{});
  EXPECT_EQ(findings_of(latin1, "lib/parts/caf\xE9.dat"),
            Findings{"0 name_mismatch [caf\xE9.dat in the file caf\xE9.dat]"});
  const std::string utf8 = with(kGood, "3068bp0z.dat\n", "caf\xC3\xA9.dat\n");
  EXPECT_EQ(findings_of(utf8, "lib/parts/CAF\xC3\xA9.dat"), Findings{});
  // É and é differ: only A to Z have a case.
  EXPECT_EQ(findings_of(utf8, "lib/parts/caf\xC3\x89.dat").size(), 1U);
}

TEST(FileChecks, FindCharactersCertificationRefusesInTheNameAndDescription) {
  const std::string description = "0 Tile  2 x  2 with Red Stripe Pattern";
  // A tab inside the description is a control character; at its end it is
  // trailing white space, and not part of it.
  EXPECT_EQ(findings_of(with(kGood, description, "0 Tile\t2 x 2 with Red Stripe Pattern")),
            Findings{"0 description_invalid_chars"});
  EXPECT_EQ(findings_of(with(kGood, description, description + "\t")), Findings{});
  // In UTF-8, a zero-width space and a private-use character; letters of
  // any script, the degree sign and the multiplication sign are fine.
  EXPECT_EQ(findings_of(with(kGood, "with Red", "with\xE2\x80\x8B Red")),
            Findings{"0 description_invalid_chars"});
  EXPECT_EQ(findings_of(with(kGood, "with Red", "with \xEE\x80\x80Red")),
            Findings{"0 description_invalid_chars"});
  EXPECT_EQ(findings_of(with(kGood, "with Red", "\xC3\x97 \xCE\xB1 90\xC2\xB0 Red")), Findings{});
  // One byte that is not UTF-8 makes the whole file Latin-1: the × of C3
  // 97 is then two characters, the second the control character U+0097.
  const std::string times = with(kGood, "2 x  2", "2 \xC3\x97 2");
  EXPECT_EQ(findings_of(times), Findings{});
  EXPECT_EQ(findings_of(times + "0 // \xFF\n"), Findings{"0 description_invalid_chars"});
  EXPECT_EQ(findings_of(with(kGood, "0 Name: 3068bp0z.dat", "0 Name: 3068bp0z\x7F.dat"),
                        "lib/parts/3068bp0z\x7F.dat"),
            Findings{"0 name_invalid_chars"});
}

TEST(FileChecks, AskEachKindOfPartForTheMarksOfItsDescription) {
  const std::string part = with(kGood, "0 !CATEGORY Tile\n", "");
  const auto described = [&](const std::string& description, const std::string& header = "") {
    return findings_of(
        with(part, "0 Tile  2 x  2 with Red Stripe Pattern\n", "0 " + description + "\n" + header));
  };
  // The category: a !CATEGORY line's text, else the description's first
  // word after its prefix; only the library's are valid.
  EXPECT_EQ(described("~|Tile 2 x 2 with Red Stripe Pattern"), Findings{});
  EXPECT_EQ(described("Tiles 2 x 2 with Red Stripe Pattern"),
            Findings{"0 category_invalid [Tiles]"});
  EXPECT_EQ(described("Tile 2 x 2 with Red Stripe Pattern", "0 !CATEGORY\n"),
            Findings{"0 category_invalid"});
  EXPECT_EQ(described("Boat 2 x 2 with Red Stripe Pattern", "0 !CATEGORY Minifig  Torso\n"),
            Findings{});
  // Moved and obsolete parts begin with ~; the description and the category
  // agree on whether the part is obsolete.
  EXPECT_EQ(described("~Moved to 3068bp0y", "0 !CATEGORY Moved\n"), Findings{});
  EXPECT_EQ(described("_Moved to 3068bp0y", "0 !CATEGORY Moved\n"),
            Findings{"0 moved_obsolete_no_tilde"});
  EXPECT_EQ(described("~Tile 2 x 2 with Red Stripe Pattern (Obsolete)", "0 !CATEGORY Obsolete\n"),
            Findings{});
  EXPECT_EQ(described("~Tile 2 x 2 with Red Stripe Pattern (Obsolete)"),
            Findings{"0 obsolete_improper"});
  EXPECT_EQ(described("~Tile 2 x 2 with Red Stripe Pattern", "0 !CATEGORY Obsolete\n"),
            (Findings{"0 obsolete_improper"}));
  // A pattern part's description ends in Pattern, or in Pattern and a
  // bracket after white space.
  for (const char* ending : {"Stripepattern", "Pattern (Stripe)", "Pattern (a) (b)"}) {
    EXPECT_EQ(described(std::string("Tile 2 x 2 with ") + ending), Findings{}) << ending;
  }
  for (const char* ending :
       {"Pattern - Hawk", "Pattern(Stripe)", "Patterns", "Pattern (Stripe) x"}) {
    EXPECT_EQ(described(std::string("Tile 2 x 2 with ") + ending),
              Findings{"0 pattern_not_in_description"})
        << ending;
  }
  EXPECT_EQ(described("Tile 2 x 2 Red", "0 !KEYWORDS Colour Combination\n"), Findings{});
}

TEST(FileChecks, KnowPatternPartsAndAliasesByTheirNamesAndQualifiers) {
  const auto named = [](const std::string& name, const std::string& keywords,
                        const std::string& org = "Unofficial_Part") {
    return findings_of(with(with(with(kGood, "3068bp0z.dat", name), "Set 6399, Stripe", keywords),
                            "Unofficial_Part", org),
                       "lib/parts/" + name);
  };
  // The stem ends in p and two to four letters or digits, a -f suffix
  // dropped first; a pattern part needs a set keyword.
  for (const char* name : {"3626cp01.dat", "973pb1a.dat", "22385p001.dat", "3001P01-F1.DAT"}) {
    EXPECT_EQ(named(name, "Stripe"), Findings{"0 pattern_without_set_keyword"}) << name;
  }
  for (const char* name : {"10128p01c01.dat", "3001pa.dat", "3001.dat"}) {
    EXPECT_EQ(named(name, "Stripe"), Findings{}) << name;
  }
  for (const char* keyword : {"set 6399", "CMF Series 4", "Build-A-Minifigure"}) {
    EXPECT_EQ(named("3068bp0z.dat", std::string("Stripe, ") + keyword), Findings{}) << keyword;
  }
  for (const char* keyword : {"Set6399", "Set", "Bricklink 3001p01"}) {
    EXPECT_EQ(named("3068bp0z.dat", keyword), Findings{"0 pattern_without_set_keyword"}) << keyword;
  }
  // Third parties' parts begin with t, and their descriptions with |.
  EXPECT_EQ(named("t1234.dat", "Stripe"), Findings{"0 third_party_no_pipe"});
  // Qualifiers: an alias is a part with = in its prefix; a physical colour
  // is obsolete; a flexible section is a part named k and two characters.
  EXPECT_EQ(named("3070b.dat", "Stripe", "Part Alias"), Findings{"0 alias_no_equals"});
  EXPECT_EQ(named("3070b.dat", "Stripe", "Subpart Alias"),
            (Findings{"0 name_type_mismatch [3070b.dat, expected s\\3070b.dat]",
                      "0 folder_type_mismatch [a Subpart belongs in parts/s]", "0 subpart_no_tilde",
                      "0 alias_not_in_parts"}));
  EXPECT_EQ(named("3070b.dat", "Stripe", "Part Physical_Colour"), Findings{"0 physical_colour"});
  EXPECT_EQ(named("73590k01-f1.dat", "Stripe", "Part Flexible_Section"), Findings{});
  EXPECT_EQ(named("u9392.dat", "Stripe", "Part Flexible_Section"), Findings{"0 flex_suffix"});
  EXPECT_EQ(named("u9392.dat", "Stripe", "Shortcut Flexible_Section"),
            (Findings{"0 flex_not_part", "0 flex_suffix"}));
}

TEST(FileChecks, FindLinesThatUseTheFileItself) {
  const std::string subpart =
      with(with(with(kGood, "Unofficial_Part", "Unofficial_Subpart"), "0 Tile", "0 ~Tile"),
           "0 Name: 3068bp0z.dat", "0 Name: s\\3068bp0z.dat");
  const std::string uses =
      "1 16 0 0 0 1 0 0 0 1 0 0 0 1 S/3068BP0Z.DAT \n"
      "0 !: 1 16 0 0 0 1 0 0 0 1 0 0 0 1 s\\3068bp0z.dat\n"
      "1 16 0 0 0 1 0 0 0 1 0 0 0 1 3068bp0z.dat\n"
      "1 16 0 0 0 1 0 0 0 1 0 0 0 s\\3068bp0z.dat\n";
  EXPECT_EQ(findings_of(subpart + uses, "lib/parts/s/3068bp0z.dat"),
            (Findings{"16 self_reference", "17 self_reference"}));
  // Before the Name is read, such lines are found once it is, at the end.
  const std::string late =
      with(subpart, "0 Name: s\\3068bp0z.dat\n", "") + uses + "0 Name: s\\3068bp0z.dat\n";
  EXPECT_EQ(findings_of(late, "lib/parts/s/3068bp0z.dat"),
            (Findings{"19 invalid_meta [Name:]", "15 self_reference", "16 self_reference"}));
}

TEST(FileChecks, ReadEveryLineWholeHoweverLongAndTheByteOrderMarkOfUtf8) {
  // Past a piece of 1,023 characters: the description's last character, and
  // a meta line in the body.
  const std::string long_description =
      with(kGood, "0 Tile  2 x  2 with Red Stripe Pattern\n",
           "0 Tile 2 x 2 with " + std::string(2000, 'a') + "\x7F Pattern\n");
  EXPECT_EQ(findings_of(long_description), Findings{"0 description_invalid_chars"});
  EXPECT_EQ(findings_of(kGood + "0 STEP " + std::string(3000, 'x') + "\n0 STEP\n"),
            (Findings{"16 invalid_meta [STEP]", "17 invalid_meta [STEP]"}));
  EXPECT_EQ(findings_of(kGood + "0 STEP " + std::string(3000, 'x')),
            Findings{"16 invalid_meta [STEP]"});
  // A UTF-8 file's byte-order mark is skipped; in a Latin-1 file its bytes
  // are three characters of the first line, which is then no meta line.
  EXPECT_EQ(findings_of("\xEF\xBB\xBF" + kGood), Findings{});
  const Findings latin1 = findings_of("\xEF\xBB\xBF" + kGood + "0 // \xE9\n");
  EXPECT_EQ(latin1.front(), "2 invalid_meta [Name:]");
  EXPECT_EQ(latin1.back(), "0 bfc_not_ccw");
}

// What --fix writes of the part `text` at `path`: a first reading finds
// what the second, which writes, goes by. The findings are the first's.
struct Mended {
  std::string text;
  Findings findings;
};

class TextEdits final : public LineEdits {
 public:
  void keep(std::string_view piece) override { text.append(piece); }
  void replace(std::string_view /*line*/, std::string_view replacement,
               MendKind /*kind*/) override {
    text.append(replacement);
  }
  std::string text;
};

Mended mended(const std::string& text, const std::string& path) {
  const FileText file{path, nullptr, text};
  LineReader reader;
  reader.restart(text);
  RunTally tally;
  Found found;
  FileFacts facts;
  analyse_file(reader, file, file_checks(true), tally, found, nullptr, &facts);
  reader.restart(text);
  RunTally again;
  NoFindings none;
  TextEdits edits;
  analyse_file(reader, file, file_checks(true), again, none, &edits, &facts);
  return {edits.text, found.findings};
}

TEST(FileChecks, MendACwPartWithEveryFaceReversedAndItsWindingsTurned) {
  const std::string cw = with(kGood, "0 BFC CERTIFY CCW\n", "0 BFC  CERTIFY\tCW \r\n") +
                         "3 16 1 2 3  4 5 6\t7 8 9\n"
                         "0 BFC CW\n0 BFC CLIP CCW\n0 BFC CERTIFY CW\n0 BFC INVERTNEXT\n"
                         "1 16 0 0 0 1 0 0 0 1 0 0 0 1 stud.dat\n"
                         "0 !: 4 16 1 0 0 2 0 0 2 1 0 1 1 0\n"
                         "4 16 1 0 0 2 0 0 2 1 0 1 1 0 extra\n"
                         "2 24 1 2 3 4 5 6\n"
                         "4 16 1 0 0 2 0 0 2 1 0 1 1 0";
  const Mended fixed = mended(cw, kPath);
  const std::string ccw = with(kGood, "0 BFC CERTIFY CCW\n", "0 BFC  CERTIFY\tCCW \r\n") +
                          "3 16 7 8 9  4 5 6\t1 2 3\n"
                          "0 BFC CCW\n0 BFC CLIP CW\n0 BFC CERTIFY CCW\n0 BFC INVERTNEXT\n"
                          "1 16 0 0 0 1 0 0 0 1 0 0 0 1 stud.dat\n"
                          "0 !: 4 16 1 1 0 2 1 0 2 0 0 1 0 0\n"
                          "4 16 1 0 0 2 0 0 2 1 0 1 1 0 extra\n"
                          "2 24 1 2 3 4 5 6\n"
                          "4 16 1 1 0 2 1 0 2 0 0 1 0 0";
  EXPECT_EQ(fixed.text, ccw);
  EXPECT_EQ(fixed.findings, Findings{"0 bfc_not_ccw [0 BFC CERTIFY CW] (mended)"});
  // Mended, it is what it would be authored CCW: nothing more to mend.
  EXPECT_EQ(mended(ccw, kPath).text, ccw);
  EXPECT_EQ(findings_of(ccw), Findings{});
  // Under NOCERTIFY, or with no BFC line, the winding is unknown.
  const std::string unknown =
      with(kGood, "0 BFC CERTIFY CCW\n", "0 BFC NOCERTIFY\n") + "3 16 1 2 3 4 5 6 7 8 9\n";
  EXPECT_EQ(mended(unknown, kPath).text, unknown);
  // A face too long to be mended keeps its winding: so does the whole part.
  const std::string too_long = with(kGood, "0 BFC CERTIFY CCW\n", "0 BFC CERTIFY CW\n") +
                               "3 16 1 2 3 4 5 6 7 8 9\n3 16 1 2 3 4 5 6 7 8 9" +
                               std::string(1100, ' ') + "\n";
  const Mended kept = mended(too_long, kPath);
  EXPECT_EQ(kept.text, too_long);
  EXPECT_EQ(kept.findings, Findings{"0 bfc_not_ccw [0 BFC CERTIFY CW]"});
}

TEST(FileChecks, MendMetaLinesToCommentsAndASubpartsDescription) {
  // A line that is no meta at all becomes a comment of the same words; a
  // header meta after the header ended, or a malformed one, is the
  // author's.
  const std::string body =
      kGood + "0 STEP\r\n0\tPattern  bottom\n0 !KEYWORDS late\n0 BFC certify\n";
  const Mended fixed = mended(body, kPath);
  EXPECT_EQ(fixed.text,
            kGood + "0 // STEP\r\n0\t// Pattern  bottom\n0 !KEYWORDS late\n0 BFC certify\n");
  EXPECT_EQ(fixed.findings,
            (Findings{"16 invalid_meta [STEP] (mended)", "17 invalid_meta [Pattern] (mended)",
                      "18 invalid_meta [!KEYWORDS]", "19 invalid_meta [BFC]"}));
  // A subpart's description given its ~, before the other marks of its
  // prefix; the type, read after it, decides.
  const std::string subpart = with(with(kGood, "Unofficial_Part", "Unofficial_Subpart"),
                                   "0 Name: 3068bp0z.dat", "0 Name: s\\3068bp0z.dat");
  const std::string path = "lib/parts/s/3068bp0z.dat";
  EXPECT_EQ(mended(with(subpart, "0 Tile", "0\t_Tile"), path).text,
            with(subpart, "0 Tile", "0\t~_Tile"));
  EXPECT_EQ(mended(subpart, path).findings, Findings{"0 subpart_no_tilde (mended)"});
  EXPECT_EQ(findings_of(with(subpart, "0 Tile", "0 ~Tile"), path), Findings{});
}

}  // namespace
}  // namespace skewquad
