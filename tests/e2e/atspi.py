# Reads and drives the launcher through the accessibility bus, as a screen reader or
# voice control would.
#   atspi.py tree                  prints the launcher's tree, one line a node:
#                                  indent, role, 'name', [actions], states
#   atspi.py do ROLE NAME ACTION   carries out ACTION on the first shown node of that
#                                  role and name; fails when there is none (yet)
import sys
import warnings

import gi

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi  # noqa: E402

# get_action_name is said to be deprecated, but Debian 12's library has nothing newer.
warnings.simplefilter("ignore", DeprecationWarning)


def actions(node):
    if "Action" not in node.get_interfaces():
        return []
    return [node.get_action_name(i) for i in range(node.get_n_actions())]


def states(node):
    return sorted(s.value_nick for s in node.get_state_set().get_states())


# Deep enough for every window of the launcher; a guard against a tree that loops.
def walk(node, depth=0):
    yield depth, node
    for i in range(node.get_child_count() if depth < 12 else 0):
        child = node.get_child_at_index(i)
        if child is not None:
            yield from walk(child, depth + 1)


def main(argv):
    desktop = Atspi.get_desktop(0)
    apps = [desktop.get_child_at_index(i) for i in range(desktop.get_child_count())]
    app = next((a for a in apps if a is not None and a.get_name() == "vyrelight"), None)
    if app is None:
        print("no application named vyrelight on the accessibility bus", file=sys.stderr)
        return 1
    if argv[1:2] == ["tree"]:
        for depth, node in walk(app):
            print("  " * depth + f"{node.get_role_name()} '{node.get_name()}' {actions(node)} {' '.join(states(node))}")
        return 0
    if argv[1:2] != ["do"] or len(argv) != 5:
        print("usage: atspi.py tree | atspi.py do ROLE NAME ACTION", file=sys.stderr)
        return 2
    role, name, action = argv[2:5]
    for _, node in walk(app):
        if node.get_role_name() == role and node.get_name() == name and "showing" in states(node):
            names = actions(node)
            if action not in names:
                print(f"{role} '{name}' has no action {action}: {names}", file=sys.stderr)
                return 1
            return 0 if node.do_action(names.index(action)) else 1
    return 1


if __name__ == "__main__":
    sys.exit(main(sys.argv))
