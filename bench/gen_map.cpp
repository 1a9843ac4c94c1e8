// Writes a large, realistic Polish-format map and the rule scripts that the benchmark runs on
// it: big.mp (code page 1251), header.txt, rules_empty.cfg (one empty block) and
// rules_levels.cfg (five levels, a hundred type rules, in the generated style).
// The output depends only on the requested size: the same arguments give the same bytes.
//
// Usage: zarvex_bench_gen <megabytes> <folder>
//        zarvex_bench_gen --points <count> <folder>   a map of <count> one-point objects only

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// A fixed linear congruential generator, so that every run writes the same map.
class Random {
 public:
  explicit Random(uint64_t seed) : state_(seed) {}
  uint32_t next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<uint32_t>(state_ >> 33);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }
  double unit() { return next() / 2147483648.0; }

 private:
  uint64_t state_;
};

// UTF-8 Cyrillic to code page 1251; the words below use only А-я, Ё and ё besides ASCII.
std::string toCp1251(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    const auto c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80 || i + 1 >= utf8.size()) {
      out += static_cast<char>(c);
      continue;
    }
    const unsigned code = ((c & 0x1Fu) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3Fu);
    if (code >= 0x410 && code <= 0x44F)
      out += static_cast<char>(0xC0 + (code - 0x410));
    else if (code == 0x401)
      out += static_cast<char>(0xA8);
    else if (code == 0x451)
      out += static_cast<char>(0xB8);
    else
      out += '?';
  }
  return out;
}

const char* const kWords[] = {
    "Берёзовая", "Лесная",  "Садовая",  "Речная",   "Полевая",  "Сосновая", "Новая",
    "Школьная",  "Зелёная", "Луговая",  "Озёрная",  "Заречная", "Горная",   "Тихая",
    "Солнечная", "Мира",    "Ленина",   "Гагарина", "Пушкина",  "Чехова",   "Молодёжная",
    "Кирова",    "Южная",   "Северная", "Весенняя", "Липовая",  "Дачная",   "Огородная"};
const char* const kKinds[] = {"ул.", "пер.", "пр-т", "наб.", "ш.", "туп."};
const char* const kPlaces[] = {"Магазин", "Аптека",  "Почта", "Школа",     "Больница", "Кафе",
                               "Банк",    "Церковь", "АЗС",   "Гостиница", "Музей",    "Рынок"};

std::vector<std::string> convertAll(const char* const* words, std::size_t count) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < count; ++i) out.push_back(toCp1251(words[i]));
  return out;
}

class MapGenerator {
 public:
  MapGenerator(FILE* out, uint64_t targetBytes, uint64_t points = 0)
      : out_(out),
        target_(targetBytes),
        points_(points),
        words_(convertAll(kWords, std::size(kWords))),
        kinds_(convertAll(kKinds, std::size(kKinds))),
        places_(convertAll(kPlaces, std::size(kPlaces))) {}

  void run() {
    header();
    if (points_ > 0) {
      for (uint64_t i = 0; i < points_; ++i) onePoint();
      return;
    }
    lists();
    while (written_ < target_) {
      const int pick = random_.below(100);
      if (pick < 45)
        polyline();
      else if (pick < 75)
        polygon();
      else if (pick < 97)
        poi();
      else
        restriction();
    }
  }

 private:
  void emit(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), out_);
    written_ += text.size();
  }
  void line(std::string_view text) {
    buffer_ = text;
    buffer_ += "\r\n";
    emit(buffer_);
  }

  void header() {
    line("; " + toCp1251("Сгенерированная карта для замера скорости"));
    line("[IMG ID]");
    line("ID=10010001");
    line("Name=" + toCp1251("Тестовая область"));
    line("Elevation=M");
    line("Preprocess=F");
    line("CodePage=1251");
    line("LblCoding=9");
    line("TreSize=511");
    line("TreMargin=0.0");
    line("RgnLimit=127");
    line("POIIndex=Y");
    line("Levels=2");
    line("Level0=24");
    line("Level1=21");
    line("Zoom0=0");
    line("Zoom1=1");
    line("[END-IMG ID]");
    line("");
  }

  void lists() {
    line("[Countries]");
    line("Country1=" + toCp1251("Россия"));
    line("[END-Countries]");
    line("");
    line("[Regions]");
    line("Region1=" + toCp1251("Тверская область"));
    line("CountryIdx1=1");
    line("[END-Regions]");
    line("");
    line("[Cities]");
    for (int i = 1; i <= 50; ++i) {
      line("City" + std::to_string(i) + "=" + words_[i % words_.size()] + toCp1251("ск"));
      line("RegionIdx" + std::to_string(i) + "=1");
    }
    line("[END-Cities]");
    line("");
  }

  std::string streetName() {
    return kinds_[random_.below(static_cast<int>(kinds_.size()))] + " " +
           words_[random_.below(static_cast<int>(words_.size()))];
  }

  void comments() {
    if (random_.below(3) == 0)
      line("; Source = " + toCp1251("съёмка ") + std::to_string(1990 + random_.below(30)));
    if (random_.below(4) == 0) line("; RLENGTH=" + std::to_string(random_.below(100000)));
  }

  void point(double lat, double lon) {
    char text[64];
    std::snprintf(text, sizeof text, "(%.5f,%.5f)", lat, lon);
    buffer_ += text;
  }

  // A random walk from a random start; `points` coordinates.
  void dataLine(int level, int points, bool ring) {
    double lat = 55.0 + random_.unit() * 3.0;
    double lon = 33.0 + random_.unit() * 5.0;
    buffer_ = "Data" + std::to_string(level) + "=";
    const double startLat = lat;
    const double startLon = lon;
    for (int i = 0; i < points; ++i) {
      if (i > 0) buffer_ += ',';
      if (ring) {
        const double angle = 6.283185307179586 * i / points;
        const double radius = 0.002 + random_.unit() * 0.0005;
        lat = startLat + radius * std::sin(angle);
        lon = startLon + radius * 1.7 * std::cos(angle);
      } else {
        lat += (random_.unit() - 0.5) * 0.001;
        lon += (random_.unit() - 0.5) * 0.0017;
      }
      point(lat, lon);
    }
    buffer_ += "\r\n";
    emit(buffer_);
  }

  void polyline() {
    comments();
    line(random_.below(5) == 0 ? "[RGN40]" : "[POLYLINE]");
    const int type = 1 + random_.below(0x1f);
    line("Type=0x" + hex(type));
    if (random_.below(4) != 0) line("Label=" + streetName());
    if (random_.below(3) == 0) line("EndLevel=" + std::to_string(random_.below(3)));
    if (type <= 0x0c) {
      line("RoadID=" + std::to_string(++roadId_));
      line("RouteParam=" + std::to_string(random_.below(7)) + ",3,0,0,0,0,0,0,0,0,0,0");
      if (random_.below(4) == 0) line("DirIndicator=1");
    }
    const int points = 10 + random_.below(190);
    dataLine(0, points, false);
    if (type <= 0x0c) {
      line("Nod1=0," + std::to_string(roadId_ * 2) + ",0");
      line("Nod2=" + std::to_string(points - 1) + "," + std::to_string(roadId_ * 2 + 1) + ",0");
    }
    line("[END]");
    line("");
  }

  void polygon() {
    comments();
    line(random_.below(5) == 0 ? "[RGN80]" : "[POLYGON]");
    line("Type=0x" + hex(0x20 + random_.below(0x30)));
    if (random_.below(3) == 0)
      line("Label=" + words_[random_.below(static_cast<int>(words_.size()))]);
    dataLine(0, 20 + random_.below(280), true);
    // Some polygons have a hole, as lakes with islands do.
    if (random_.below(8) == 0) dataLine(0, 8 + random_.below(20), true);
    line("[END]");
    line("");
  }

  void poi() {
    comments();
    line(random_.below(6) == 0 ? "[RGN10]" : "[POI]");
    const int type = 0x2a00 + 0x40 * random_.below(24);
    line("Type=0x" + hex(type));
    line("Label=" + places_[random_.below(static_cast<int>(places_.size()))] + " " +
         std::to_string(random_.below(100)));
    if (random_.below(2) == 0) {
      line("StreetDesc=" + streetName());
      line("HouseNumber=" + std::to_string(1 + random_.below(120)));
      line("CityIdx=" + std::to_string(1 + random_.below(50)));
    }
    if (random_.below(5) == 0)
      line("Phone=+7 4822 " + std::to_string(100000 + random_.below(900000)));
    dataLine(0, 1, false);
    line("[END]");
    line("");
  }

  // The smallest objects a map holds: a numbered point of one coordinate.
  void onePoint() {
    line("[POI]");
    line("Type=0x" + hex(0x2a00 + 0x40 * random_.below(24)));
    line("Label=" + std::to_string(random_.below(100000)));
    dataLine(0, 1, false);
    line("[END]");
    line("");
  }

  void restriction() {
    line("[Restrict]");
    line("Nod=" + std::to_string(1000 + random_.below(100000)));
    line("TraffPoints=1,2,3");
    line("TraffRoads=" + std::to_string(1 + random_.below(1000)) + "," +
         std::to_string(1 + random_.below(1000)));
    line("[END-Restrict]");
    line("");
  }

  static std::string hex(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%x", value);
    return text;
  }

  FILE* out_;
  uint64_t target_;
  uint64_t points_;
  uint64_t written_ = 0;
  Random random_{20070819};
  std::string buffer_;
  int roadId_ = 0;
  std::vector<std::string> words_;
  std::vector<std::string> kinds_;
  std::vector<std::string> places_;
};

// The script that the window program would generate for five levels: one block per type, a
// label rule, a kind conversion, a measure condition, then the five fixed lines.
void writeLevelsScript(FILE* out) {
  std::fprintf(out, "file \"big.mp\"\n {\n  export=false;\n");
  int rules = 0;
  auto block = [&](int type, const char* kind, int from, int to, int variant) {
    std::fprintf(out, "  case type=0x%x\n   {\n", type);
    std::fprintf(out, "    case kind=%s  // %s %d\n     {\n", kind, kind, rules);
    std::fprintf(out, "      export=true;\n");
    std::fprintf(out, "      layer_min=%d;\n      layer_max=%d;\n", from, to);
    if (variant == 1)
      std::fprintf(out, "      case label=\"\"\n       {\n        label=\"%s\";\n       }\n",
                   toCp1251("Без названия").c_str());
    if (variant == 2) std::fprintf(out, "      label+=\" %s\";\n", toCp1251("(дорога)").c_str());
    if (variant == 3) std::fprintf(out, "      kind=line;\n");
    if (variant == 4)
      std::fprintf(out,
                   "      case length>2000\n       {\n        layer_min=0;\n        layer_max=4;\n "
                   "      }\n");
    if (variant == 5)
      std::fprintf(
          out,
          "      case area<50\n       {\n        layer_min=0;\n        layer_max=1;\n       }\n");
    std::fprintf(out, "     }\n   }\n");
    ++rules;
  };
  for (int type = 1; type <= 0x1f; ++type)
    block(type, "line", 0, 1 + type % 4, type % 3 == 0 ? 2 : (type % 3 == 1 ? 4 : 0));
  for (int type = 1; type <= 0x2f; ++type)
    block(type + 0x1f, "polygon", 0, 1 + type % 4, type % 7 == 0 ? 3 : (type % 2 == 0 ? 5 : 0));
  for (int type = 0x2a00; rules < 100; type += 0x40) block(type, "point", 0, 2 + rules % 3, 1);
  std::fprintf(out,
               "  case kind=Restriction { export=true; }\n"
               "  case kind=Countries { export=true; }\n"
               "  case kind=Regions { export=true; }\n"
               "  case kind=Cities { export=true; }\n"
               "  case kind=ZipCodes { export=true; }\n"
               " }\n");
}

bool writeText(const std::string& path, const char* text) {
  FILE* out = std::fopen(path.c_str(), "w");
  if (out == nullptr) return false;
  std::fputs(text, out);
  return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  const bool pointsOnly = argc == 4 && std::string_view(argv[1]) == "--points";
  if (argc != 3 && !pointsOnly) {
    std::fprintf(stderr, "Usage: %s <megabytes> <folder>\n       %s --points <count> <folder>\n",
                 argv[0], argv[0]);
    return 1;
  }
  const uint64_t count = std::strtoull(argv[pointsOnly ? 2 : 1], nullptr, 10);
  const std::string folder = argv[pointsOnly ? 3 : 2];

  FILE* map = std::fopen((folder + "/big.mp").c_str(), "wb");
  if (map == nullptr) {
    std::perror("big.mp");
    return 1;
  }
  if (pointsOnly)
    MapGenerator(map, 0, count).run();
  else
    MapGenerator(map, count * 1000 * 1000).run();
  if (std::fclose(map) != 0) {
    std::perror("big.mp");
    return 1;
  }

  FILE* script = std::fopen((folder + "/rules_levels.cfg").c_str(), "w");
  if (script == nullptr) {
    std::perror("rules_levels.cfg");
    return 1;
  }
  writeLevelsScript(script);
  const bool ok = std::fclose(script) == 0 &&
                  writeText(folder + "/rules_empty.cfg", "file \"big.mp\" { }\n") &&
                  writeText(folder + "/header.txt",
                            "[IMG ID]\nID=%\nName=$\nCodePage=1251\nLevels=5\nLevel0=24\n"
                            "Level1=22\nLevel2=20\nLevel3=18\nLevel4=16\nZoom0=0\nZoom1=1\n"
                            "Zoom2=2\nZoom3=3\nZoom4=4\n[END-IMG ID]\n");
  if (!ok) {
    std::perror(folder.c_str());
    return 1;
  }
  return 0;
}
