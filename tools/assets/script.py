"""Writes table and configuration scripts in the game's own text conventions."""


class Ref:
    """An element named before its index is known; resolved when written."""

    def __init__(self, name):
        self.name = name


class Real(float):
    """A value written with a decimal point even when it is whole."""


def _value(v, indices, places):
    if isinstance(v, Ref):
        if v.name not in indices:
            raise KeyError("no element named %r" % v.name)
        return "%d" % indices[v.name]
    if isinstance(v, bool):
        return "%d" % int(v)
    if isinstance(v, int):
        return "%d" % v
    if isinstance(v, float):
        return ("%%.%df" % places) % v
    return '"%s"' % v


class ElementList:
    """Table elements in script order; the list index is what links refer to."""

    def __init__(self):
        self.items = []  # (name, block, keys, subs)
        self.indices = {}

    def add(self, name, block, keys, subs=()):
        if name in self.indices:
            raise KeyError("element %r twice" % name)
        self.indices[name] = len(self.items)
        self.items.append((name, block, list(keys), list(subs)))
        return Ref(name)

    def index(self, name):
        return self.indices[name]

    def block_of(self, name):
        return self.items[self.indices[name]]

    def text(self, header_blocks):
        out = []
        for block, keys in header_blocks:
            out.append(block + "{")
            out += [" %s = %s;" % (k, _value(v, self.indices, 4)) for k, v in keys]
            out.append("};;")
        for name, block, keys, subs in self.items:
            places = 3 if block == "Link" else 4
            out.append("// %d %s" % (self.indices[name], name))
            out.append(block + " {")
            out += [" %s = %s;" % (k, _value(v, self.indices, places)) for k, v in keys]
            for sub, sub_keys in subs:
                out.append(" %s {" % sub)
                out += ["  %s = %s;" % (k, _value(v, self.indices, places)) for k, v in sub_keys]
                out.append(" };;")
            if not keys and not subs:
                out.append(" ;;")
            out.append("};;")
        return ("\r\n".join(out) + "\r\n").encode("cp1251")


def blocks_text(blocks):
    """Plain top-level blocks: [(name, [(key, value)])]."""
    out = []
    for name, keys in blocks:
        out.append(name + " {")
        out += [" %s = %s;" % (k, _value(v, {}, 4)) for k, v in keys]
        out.append("};;")
    return ("\r\n".join(out) + "\r\n").encode("cp1251")
