# What a hostile server sends: a flood of tiny frames, half a megabyte of "<", junk
# between frames, and one large task list frame. The first byte picks where the input is
# cut into two reads.
set -euo pipefail
. "$(dirname "$0")/repeat.sh"
out=$1
repeat '<ZZ:1>x' 1000000 > "$out/tiny-frames"
repeat '<' 524288 > "$out/brackets"
repeat 'junk<MESSAGE:2>ok<AB:x>' 1000000 > "$out/junk-between"
repeat '<STATICA><NAME>t</NAME><CAPTION>c</CAPTION>' 900000 | frame QUESTLIST > "$out/task-list"
