# Large task lists: a list of 2000 entries, one whose sections are broken or missing,
# and a short list followed by a long rest of brackets.
set -euo pipefail
. "$(dirname "$0")/repeat.sh"
out=$1
entry='<STATICA><NAME>task</NAME><CAPTION>Caption of a task</CAPTION>'
repeat "$entry<DINAMIK><CAPTION>c</CAPTION><NAME>n</NAME>" 1000000 > "$out/list"
repeat "<KINEMATIK><NAME>a<CAPTION>b</NAME></CAPTION></NA" 1000000 > "$out/broken"
{ printf '%s' "$entry"; repeat '>' 1000000; } > "$out/brackets"
repeat '<NAME>x</NAME>' 1000000 > "$out/sections"
