#include "gui/io/settings_file.h"

#include <gtest/gtest.h>

#include "gui/io/test_support.h"

namespace visual {
namespace {

RuleRecord fullRecord() {
  RuleRecord r;
  r.Id = "0x2f06";
  r.Type = 2;
  r.eName = "bridge";
  r.chVisibleAlways = false;
  r.cbVisibleFrom = 1;
  r.cbVisibleTo = 3;
  r.chNameChange = true;
  r.eNameChange = " padded ";
  r.chNameChangeEmpty = true;
  r.chNameAdd = true;
  r.eNameAdd = "\"quoted\"";
  r.chTypeChange = true;
  r.cbTypeChange = 0;
  r.chObjectChange = true;
  r.cbObjectChange = "0x05:road";
  r.eAdd = "road_class=2; label=\"x\";";
  r.cond[0] = {true, 0, 4, "5000", 0, 2, 1, "0x4c:lake"};
  r.cond[1] = {false, 2, 1, "10", -1, 4, -1, ""};
  r.cond[2] = {true, 3, 2, "7", 2, -1, 0, "0x01"};
  return r;
}

TEST(SettingsFile, EveryFieldSurvivesAFileRoundTrip) {
  TempFolder folder;
  MapInfo doc;
  doc.ID = "555";
  doc.Name = "Town";
  doc.TypeSet = "Sample";
  doc.CopyRight = "(c) me";
  doc.FileName = "/maps/town.mp";
  doc.NewLevels = 3;
  doc.NewLevel = {24, 22, 20};
  doc.NewZoom = {0, 1, 2};
  RuleTable rules;
  rules.put(fullRecord());
  RuleRecord fresh;
  fresh.Id = "0x01";
  fresh.New = true;
  rules.put(fresh);
  RuleRecord plain;
  plain.Id = "0x02";
  plain.Count = 9;
  plain.Used = true;
  rules.put(plain);

  ProfileFile out;
  std::vector<int> progress;
  EXPECT_EQ(writeSettings(doc, rules, out, [&](int p) { progress.push_back(p); }), 2);
  EXPECT_EQ(progress, (std::vector<int>{1, 2, 3}));
  std::string error;
  ASSERT_TRUE(out.save(folder.file("w.set"), &error)) << error;

  ProfileFile in;
  ASSERT_TRUE(in.load(folder.file("w.set"), &error)) << error;
  MapInfo back;
  readSettingsHeader(in, back);
  EXPECT_EQ(back.ID, "555");
  EXPECT_EQ(back.Name, "Town");
  EXPECT_EQ(back.TypeSet, "Sample");
  EXPECT_EQ(back.CopyRight, "(c) me");
  EXPECT_EQ(back.FileName, "/maps/town.mp");
  EXPECT_EQ(back.NewLevels, 3);
  EXPECT_EQ(back.NewLevel, doc.NewLevel);
  EXPECT_EQ(back.NewZoom, doc.NewZoom);
  ASSERT_EQ(readRecordCount(in), 2);
  EXPECT_EQ(readRecord(in, 1), fullRecord());
  RuleRecord plainBack = plain;
  plainBack.Count = 0;
  plainBack.Used = false;
  EXPECT_EQ(readRecord(in, 2), plainBack);
}

TEST(SettingsFile, KeysInTheirOrder) {
  MapInfo doc;
  doc.FileName = "/m.mp";
  doc.NewLevels = 1;
  RuleTable rules;
  RuleRecord r;
  r.Id = "0x01";
  rules.put(r);
  ProfileFile out;
  writeSettings(doc, rules, out, {});
  TempFolder folder;
  ASSERT_TRUE(out.save(folder.file("k.set"), nullptr));
  std::string keys;
  std::istringstream lines(readFile(folder.file("k.set")));
  for (std::string line; std::getline(lines, line);) keys += line.substr(0, line.find('=')) + " ";
  EXPECT_EQ(keys,
            "[Header] ID eName TypeSet eCopyRight FileName NewLevels NewLevel0 NewZoom0 "
            "[Record1] ID Type eName chVisibleAlways cbVisibleFrom cbVisibleTo chNameChange "
            "eNameChange chNameChangeEmpty chNameAdd eNameAdd chTypeChange cbTypeChange eAdd "
            "chObjectChange cbObjectChange chCond1 cbParam1 cbCond1 eValue1 cbVisibleFrom1 "
            "cbVisibleTo1 cbTypeChange1 cbObjectChange1 chCond2 cbParam2 cbCond2 eValue2 "
            "cbVisibleFrom2 cbVisibleTo2 cbTypeChange2 cbObjectChange2 chCond3 cbParam3 cbCond3 "
            "eValue3 cbVisibleFrom3 cbVisibleTo3 cbTypeChange3 cbObjectChange3 [AllRec] RecCount ");
}

TEST(SettingsFile, DefaultsForMissingOrBadValues) {
  TempFolder folder;
  const std::string path = folder.write("d.set",
                                        "[Header]\nFileName=/m.mp\nNewLevels=0x0E\n"
                                        "NewLevel0=24\nNewZoom0=zero\n"
                                        "[AllRec]\nRecCount=1\n"
                                        "[Record1]\nID= 0x01 \nType=0x1\ncbVisibleTo=12\n"
                                        "cbVisibleFrom1=10\nchNameAdd=5\nchTypeChange=yes\n"
                                        "cbParam2=\n");
  ProfileFile in;
  ASSERT_TRUE(in.load(path, nullptr));
  MapInfo doc;
  readSettingsHeader(in, doc);
  EXPECT_EQ(doc.TypeSet, "Russa");
  EXPECT_EQ(doc.ID, "");
  EXPECT_EQ(doc.NewLevels, 11);
  EXPECT_EQ(doc.NewLevel[0], 24);
  EXPECT_EQ(doc.NewZoom[0], 0);
  const RuleRecord r = readRecord(in, 1);
  EXPECT_EQ(r.Id, "0x01");
  EXPECT_EQ(r.Type, 1);
  EXPECT_TRUE(r.chVisibleAlways);
  EXPECT_EQ(r.cbVisibleFrom, -1);
  EXPECT_EQ(r.cbVisibleTo, -1);
  EXPECT_EQ(r.cond[0].cbVisibleFrom, 10);
  EXPECT_TRUE(r.chNameAdd);
  EXPECT_FALSE(r.chTypeChange);
  EXPECT_EQ(r.cond[1].cbParam, -1);
  EXPECT_EQ(r.cond[1].cbCond, -1);
  EXPECT_EQ(r.cbTypeChange, -1);
  EXPECT_EQ(r.eNameChange, "");
  EXPECT_EQ(readRecord(in, 7).Id, "");
  EXPECT_EQ(readRecordCount(ProfileFile()), 0);
  ProfileFile huge;
  huge.set("AllRec", "RecCount", "2147483647");
  EXPECT_EQ(readRecordCount(huge), kMaxRecordCount);
  huge.set("AllRec", "RecCount", "-4");
  EXPECT_EQ(readRecordCount(huge), 0);
}

TEST(SettingsFile, ValuesWrittenOutsideQuotesMustBeWhatTheFieldHolds) {
  EXPECT_EQ(recordFault(fullRecord()), std::nullopt);
  struct Case {
    void (*change)(RuleRecord&);
    const char* fault;  // the start of the fault, or nullptr for an accepted record
  };
  const Case cases[] = {
      {[](RuleRecord& r) { r.Id = "0x2F06"; }, nullptr},
      {[](RuleRecord& r) { r.Id = "256"; }, nullptr},
      {[](RuleRecord& r) { r.Id = ""; }, nullptr},
      {[](RuleRecord& r) { r.Id = "0x01 { export=true; } case type=0x02"; }, "ID=0x01 {"},
      {[](RuleRecord& r) { r.Id = "0x"; }, "ID=0x:"},
      {[](RuleRecord& r) { r.Id = "-1"; }, "ID=-1:"},
      {[](RuleRecord& r) { r.cond[1].eValue = "-12"; }, nullptr},
      {[](RuleRecord& r) { r.cond[1].eValue = "0x1f"; }, nullptr},
      {[](RuleRecord& r) { r.cond[1].eValue = " 5000 "; }, nullptr},
      {[](RuleRecord& r) { r.cond[1].eValue = "5 { export=false; }"; }, "eValue2=5 {"},
      {[](RuleRecord& r) { r.cond[2].eValue = "1.5"; }, "eValue3=1.5: ожидалось число"},
      {[](RuleRecord& r) { r.cond[2].eValue = "0X10"; }, "eValue3=0X10:"},
      {[](RuleRecord& r) { r.cbObjectChange = " : nothing"; }, nullptr},
      {[](RuleRecord& r) { r.cbObjectChange = "0x05; label=\"x\":road"; }, "cbObjectChange=0x05;"},
      {[](RuleRecord& r) { r.cond[0].cbObjectChange = "x:lake"; }, "cbObjectChange1=x:lake:"},
  };
  for (const Case& c : cases) {
    RuleRecord r = fullRecord();
    c.change(r);
    const auto fault = recordFault(r);
    if (!c.fault) {
      EXPECT_EQ(fault, std::nullopt) << *fault;
    } else {
      ASSERT_TRUE(fault) << c.fault;
      EXPECT_EQ(fault->rfind(c.fault, 0), 0u) << *fault;
    }
  }
}

TEST(SettingsFile, QuotingOnlyWhereReadingWouldChangeTheValue) {
  EXPECT_EQ(quotedForProfile(""), "");
  EXPECT_EQ(quotedForProfile("plain text"), "plain text");
  EXPECT_EQ(quotedForProfile(" lead"), "\" lead\"");
  EXPECT_EQ(quotedForProfile("trail\t"), "\"trail\t\"");
  EXPECT_EQ(quotedForProfile("\"both\""), "\"\"both\"\"");
  EXPECT_EQ(quotedForProfile("\"one side"), "\"one side");
}

}  // namespace
}  // namespace visual
