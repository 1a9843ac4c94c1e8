#!/usr/bin/env python3
"""A plain Python implementation of zarvex's conversion, to compare speeds with.

It handles the subset that the benchmark's maps and scripts use, and nothing more:
- maps as zarvex_bench_gen writes them: one key or comment per line, a coordinate list on one
  line without blanks, sections [POI], [RGN10], [RGN20], [POLYLINE], [RGN40], [POLYGON],
  [RGN80], [Restrict] and the list sections; the header is skipped, not checked;
- scripts of one or more `file` statements made of `case` blocks on one variable compared with
  a constant (=, !=, <, >, <=, >=) and assignments (=, +=) of constants to type, kind, label,
  export, layer_min and layer_max; the conditions may also read length and area;
- no lenient reading, no error reporting beyond stopping with a message.
Point-in-ring tests treat vertices on the ray's latitude by the usual half-open rule, which
gives zarvex's answer for every ring that does not run along that latitude.

Usage: reference_convert.py [-h header_file] [-m map_name] <script> <output>
"""

import array
import math
import re
import sys

PI = 3.1415927410125732
METRES_PER_DEGREE = 40000000 / 360

KINDS = {b"point": 0, b"line": 1, b"polygon": 2, b"restriction": 3, b"countries": 4,
         b"regions": 5, b"districts": 6, b"cities": 7, b"zipcodes": 8}
SECTION_KINDS = {b"poi": 0, b"rgn10": 0, b"rgn20": 0, b"polyline": 1, b"rgn40": 1,
                 b"polygon": 2, b"rgn80": 2, b"restrict": 3, b"countries": 4, b"regions": 5,
                 b"districts": 6, b"cities": 7, b"zipcodes": 8}
LIST_NAMES = {4: b"Countries", 5: b"Regions", 6: b"Districts", 7: b"Cities", 8: b"ZipCodes"}
REGENERATED = {b"LOC", b"RLENGTH", b"RWIDTH", b"RHEIGHT", b"RAREA"}
# Keys whose value is the rest of the line, and the attribute they fill.
TEXT_KEYS = {b"label": "label", b"countryname": "countryname", b"regionname": "regionname",
             b"districtname": "districtname", b"cityname": "cityname", b"cityidx": "cityidx",
             b"zipidx": "zipidx", b"streetdesc": "streetdesc", b"housenumber": "housenumber",
             b"phone": "phone", b"fax": "fax", b"email": "email", b"webpage": "webpage",
             b"text": "text", b"background": "background", b"routeparamext": "routeparamext",
             b"routeparams": "routeparams", b"dontfind": "dontfind", b"roadid": "roadid",
             b"routeparam": "routeparam", b"nod": "nod", b"traffpoints": "traffpoints",
             b"traffroads": "traffroads", b"time": "time"}
# The attribute lines after Type, in the order written: (key written, attribute).
ATTRIBUTE_LINES = [(b"Label", "label"), (b"DontFind", "dontfind"),
                   (b"CountryName", "countryname"), (b"RegionName", "regionname"),
                   (b"DistrictName", "districtname"), (b"CityName", "cityname"),
                   (b"CityIdx", "cityidx"), (b"HouseNumber", "housenumber"),
                   (b"StreetDesc", "streetdesc"), (b"ZipIdx", "zipidx"), (b"Phone", "phone"),
                   (b"Fax", "fax"), (b"EMail", "email"), (b"WebPage", "webpage"),
                   (b"Text", "text")]
OBJECT_LINES = [(b"RoadID", "roadid"), (b"RouteParam", "routeparam")]
TAIL_LINES = [(b"Background", "background"), (b"RouteParamExt", "routeparamext"),
              (b"RouteParams", "routeparams")]
COORDINATE = re.compile(rb"\((-?[0-9.]+),(-?[0-9.]+)\)")

_fractions = {}


def number(text):
    """A number as the map reader scans it: digits, then a fraction summed digit by digit."""
    negative = text.startswith(b"-")
    if negative:
        text = text[1:]
    whole, dot, digits = text.partition(b".")
    value = float(int(whole or b"0"))
    if dot:
        fraction = _fractions.get(digits)
        if fraction is None:
            fraction, scale = 0.0, 0.1
            for d in digits:
                fraction = fraction + (d - 48) * scale
                scale = scale / 10
            _fractions[digits] = fraction
        value = value + fraction
    return -value if negative else value


def to_int(value):
    if value != value:
        return 0
    if value >= 2147483648.0:
        return 2147483647
    if value <= -2147483649.0:
        return -2147483648
    return int(value)


def path_length(points):
    if len(points) < 2:
        return 0.0
    k = math.cos(points[0][0] * PI / 180)
    total = 0.0
    for (lat1, lon1), (lat2, lon2) in zip(points, points[1:]):
        dlon = lon2 - lon1
        dlat = lat2 - lat1
        total += math.sqrt(k * dlon * (k * dlon) + dlat * dlat)
    return total


def spans(points):
    if len(points) < 2:
        return 0.0, 0.0
    lats = [p[0] for p in points]
    lons = [p[1] for p in points]
    return max(max(lats), -360) - min(min(lats), 360), max(max(lons), -360) - min(min(lons), 360)


def ring_area(points):
    n = len(points)
    if n < 3:
        return 0.0
    lat_sum = 0.0
    for p in points:
        lat_sum += p[0]
    k = math.cos(lat_sum / n * PI / 180)
    s = 0.0
    for i in range(n):
        a = points[i]
        b = points[0 if i + 1 == n else i + 1]
        s += (b[0] + a[0]) * (b[1] - a[1])
    return abs(s) * 0.5 * 111111.11111111111 * 111111.11111111111 * k


def object_length(obj):
    total = 0.0
    for line in obj["data"]:
        total += path_length(line[1])
    return total * 40000000 / 360


def object_width(obj):
    return max([0.0] + [spans(line[1])[1] for line in obj["data"]]) * 40000000 / 360


def object_height(obj):
    return max([0.0] + [spans(line[1])[0] for line in obj["data"]]) * 40000000 / 360


def object_area(obj):
    total = 0.0
    for role, points in zip(obj["roles"], (line[1] for line in obj["data"])):
        area = ring_area(points)
        total += area if role == 2 else -area
    return total


def single(values):
    return list(array.array("f", values))


INSIDE, OUTSIDE, BOUNDARY = 0, 1, 2


def point_in_ring(lat, lon, lats, lons):
    crossings = 0
    n = len(lats)
    for i in range(n):
        lat1, lon1 = lats[i], lons[i]
        j = i + 1 if i + 1 < n else 0
        lat2, lon2 = lats[j], lons[j]
        if lat1 == lat and lon1 == lon:
            return BOUNDARY
        if lat1 == lat2 == lat and min(lon1, lon2) <= lon <= max(lon1, lon2):
            return BOUNDARY
        if (lat1 > lat) != (lat2 > lat):
            x = single([lon1 + (lon2 - lon1) * (lat - lat1) / (lat2 - lat1)])[0]
            if x == lon:
                return BOUNDARY
            if x < lon:
                crossings += 1
    return INSIDE if crossings % 2 else OUTSIDE


def ring_roles(lines):
    rounded = [(single([p[0] for p in pts]), single([p[1] for p in pts])) for _, pts in lines]
    roles = []
    for a, (_, points) in enumerate(lines):
        hole = False
        for b, (lats, lons) in enumerate(rounded):
            if a == b:
                continue
            for lat, lon in points:
                where = point_in_ring(lat, lon, lats, lons)
                if where != BOUNDARY:
                    hole = where == INSIDE
                    break
            if hole:
                break
        roles.append(1 if hole else 2)
    return roles


def comment_attribute(text):
    p = text.find(b"=")
    if p <= 0:
        return None
    end = p - 1
    while end > 0 and text[end] == 32:
        end -= 1
    if end == 0:
        return None
    start = 0
    while text[start] == 32:
        start += 1
    return text[start:end + 1], text[p + 1:].strip(b" ")


def read_map(path, file_name):
    """Yields the objects of a map in order, as dictionaries."""
    with open(path, "rb") as f:
        lines = f.read().split(b"\n")
    i = 0
    while not lines[i].strip().lower().startswith(b"[end-img"):
        i += 1
    loc = i
    i += 1
    obj = None
    comments = []
    for number_, raw in enumerate(lines[i:], start=i):
        text = raw.strip()
        if not text:
            continue
        if obj is None:
            if loc is None:
                loc = number_
            if text.startswith(b";"):
                attribute = comment_attribute(text[1:])
                if attribute is not None:
                    comments.append(attribute)
                continue
            kind = SECTION_KINDS[text[1:-1].strip().lower()]
            obj = {"kind": kind, "type": 0, "endlevel": 0, "comments": comments, "data": [],
                   "nods": [], "numbers": [], "list": [], "loc": loc, "file": file_name,
                   "dirindicator": False, "city": False}
            comments = []
            continue
        if text.startswith(b"["):
            obj["roles"] = ring_roles(obj["data"]) if obj["kind"] == 2 else [0] * len(obj["data"])
            yield obj
            obj = None
            loc = None
            continue
        key, _, value = text.partition(b"=")
        key = key.strip().lower()
        value = value.strip()
        if key in TEXT_KEYS:
            obj[TEXT_KEYS[key]] = value
        elif key == b"type":
            obj["type"] = int(value, 16) if value.startswith(b"0x") else int(value)
        elif key == b"endlevel":
            obj["endlevel"] = int(value)
        elif key == b"dirindicator":
            obj["dirindicator"] = value in (b"1", b"y")
        elif key == b"city":
            obj["city"] = value.lower() in (b"1", b"y")
        elif key.startswith(b"data") or key.startswith(b"origin"):
            points = [(number(lat), number(lon)) for lat, lon in COORDINATE.findall(value)]
            obj["data"].append((None, points))
        elif key.startswith(b"nod"):
            obj["nods"].append((key, value))
        elif key.startswith(b"numbers"):
            obj["numbers"].append((key, value))
        elif obj["kind"] >= 4:
            obj["list"].append((key, value))
        else:
            sys.exit("Unknown variable: " + key.decode("latin-1"))


TOKEN = re.compile(rb'\s+|//[^\n]*|/\*.*?\*/|"((?:[^"\\]|\\.)*)"|(0x[0-9a-fA-F]+|-?[0-9]+)'
                   rb'|([A-Za-z_][A-Za-z0-9_\-]*)|(\+=|!=|<=|>=|[=;{}<>])', re.S)


def tokens(script):
    for match in TOKEN.finditer(script):
        string, integer, word, mark = match.groups()
        if string is not None:
            yield ("string", string)
        elif integer is not None:
            yield ("int", int(integer, 16) if integer.startswith(b"0x") else int(integer))
        elif word is not None:
            yield ("word", word.lower())
        elif mark is not None:
            yield ("mark", mark)


def parse_script(script):
    """[(map file, statements)]; a statement is ("case", var, op, value, statements) or
    ("set", var, op, value)."""
    stream = list(tokens(script))
    position = 0

    def take():
        nonlocal position
        position += 1
        return stream[position - 1]

    def value_of(var, token):
        if var == b"kind" and token[0] == "word":
            return KINDS[token[1]]
        if token[0] == "word" and token[1] in (b"true", b"false"):
            return token[1] == b"true"
        return token[1]

    def block():
        assert take() == ("mark", b"{")
        statements = []
        while stream[position] != ("mark", b"}"):
            first = take()
            if first == ("word", b"case"):
                var = take()[1]
                op = take()[1]
                value = value_of(var, take())
                statements.append(("case", var, op, value, block()))
            else:
                op = take()[1]
                value = value_of(first[1], take())
                assert take() == ("mark", b";")
                statements.append(("set", first[1], op, value))
        take()
        return statements

    files = []
    while position < len(stream):
        assert take() == ("word", b"file")
        files.append((take()[1], block()))
    return files


COMPARE = {b"=": lambda a, b: a == b, b"!=": lambda a, b: a != b, b"<": lambda a, b: a < b,
           b">": lambda a, b: a > b, b"<=": lambda a, b: a <= b, b">=": lambda a, b: a >= b}


def run_rules(statements, obj, attributes):
    for statement in statements:
        if statement[0] == "case":
            _, var, op, value, inner = statement
            if var == b"length":
                current = to_int(object_length(obj))
            elif var == b"area":
                current = to_int(object_area(obj) / 1000.0)
            else:
                current = attributes[var]
            if COMPARE[op](current, value):
                run_rules(inner, obj, attributes)
        else:
            _, var, op, value = statement
            attributes[var] = attributes[var] + value if op == b"+=" else value


def fixed(lat, lon):
    return b"(%.6f,%.6f)" % (lat, lon)


def write_object(out, obj, attributes):
    kind = attributes[b"kind"]
    out.append(b"; LOC=%s:%d\n" % (obj["file"], obj["loc"]))
    for key, value in obj["comments"]:
        if value and key not in REGENERATED:
            out.append(b"; %s=%s\n" % (key, value))
    if kind == 0:
        out.append(b"[POI]\n")
    elif kind == 1:
        out.append(b"; RLENGTH=%d\n; RWIDTH=%d\n; RHEIGHT=%d\n[POLYLINE]\n" % (
            to_int(object_length(obj)), to_int(object_width(obj)), to_int(object_height(obj))))
    elif kind == 2:
        out.append(b"; RAREA=%d\n; RWIDTH=%d\n; RHEIGHT=%d\n[POLYGON]\n" % (
            to_int(object_area(obj) / 1000), to_int(object_width(obj)),
            to_int(object_height(obj))))
    elif kind == 3:
        out.append(b"[Restrict]\nNod=%s\nTraffPoints=%s\nTraffRoads=%s\nTime=%s\n"
                   b"[END-Restrict]\n\n" % tuple(obj.get(k, b"") for k in
                                                 ("nod", "traffpoints", "traffroads", "time")))
        return
    else:
        name = LIST_NAMES[kind]
        out.append(b"[%s]\n" % name)
        for key, value in obj["list"]:
            out.append(b"%s=%s\n" % (key, value))
        out.append(b"[END-%s]\n\n" % name)
        return
    out.append(b"Type=0x%x\n" % (attributes[b"type"] & 0xFFFFFFFF))
    if attributes[b"label"]:
        out.append(b"Label=%s\n" % attributes[b"label"])
    if obj["dirindicator"]:
        out.append(b"DirIndicator=1\n")
    for key, name in ATTRIBUTE_LINES[1:]:
        if name == "countryname" and obj["city"]:
            out.append(b"City=Y\n")
        value = obj.get(name)
        if value:
            out.append(b"%s=%s\n" % (key, value))
    for key, name in OBJECT_LINES + TAIL_LINES:
        value = obj.get(name)
        if value:
            out.append(b"%s=%s\n" % (key, value))
    first = attributes[b"layer_min"] & 0xFFFFFFFF
    maximum = attributes[b"layer_max"]
    last = (maximum if maximum >= 1 else attributes[b"layer_min"]) & 0xFFFFFFFF
    for level in range(first, last + 1):
        for role, (_, points) in zip(obj["roles"], obj["data"]):
            text = b",".join(fixed(lat, lon) for lat, lon in points)
            if role != 0 and kind == 1 and points[-1] != points[0]:
                text += b"," + fixed(*points[0])
            out.append(b"Data%d=%s\n" % (level, text))
    for key, value in obj["nods"] + obj["numbers"]:
        out.append(b"%s=%s\n" % (key, value))
    out.append(b"[END]\n\n")


def map_id(name):
    c = name[0] if name[0] < 128 else name[0] - 256
    tens = int((c - 65) / 10)
    units = (c - 65) - 10 * tens
    return b"111" + bytes([48 + tens, 48 + units]) + name[2:4] + name[5:6]


def main(argv):
    header_file, map_name, mapid = "header.txt", b"M", b"11111111"
    if argv[:1] == ["-h"]:
        header_file, argv = argv[1], argv[2:]
    if argv[:1] == ["-m"]:
        map_name = argv[1].encode()
        mapid, argv = map_id(map_name), argv[2:]
    script_path, output_path = argv[0], argv[1]
    with open(script_path, "rb") as f:
        files = parse_script(f.read())
    out = []
    with open(header_file, "rb") as f:
        header = f.read()
    out.append(re.sub(rb"[%$]", lambda m: mapid if m.group() == b"%" else map_name, header))
    out.append(b"\n\n")
    with open(output_path, "wb") as output:
        for name, statements in reversed(files):
            sys.stderr.write("Processing: %s\n" % name.decode("latin-1"))
            for obj in read_map(name.decode("latin-1"), name):
                attributes = {b"type": obj["type"], b"kind": obj["kind"],
                              b"label": obj.get("label", b""), b"export": True,
                              b"layer_min": 0, b"layer_max": obj["endlevel"]}
                run_rules(statements, obj, attributes)
                if attributes[b"export"]:
                    write_object(out, obj, attributes)
                if len(out) > 10000:
                    output.write(b"".join(out))
                    out.clear()
        output.write(b"".join(out))


if __name__ == "__main__":
    main(sys.argv[1:])
