// Routines of the program being compiled cannot run yet: not in a constant, not in a default
// parameter value, not in the routine's own declarations.
function F: Integer;
const
  C = F;
begin
  Result := 1;
end;

procedure P(A: Integer = F);
begin
end;

begin
end.
// expect compile error: [line 5:7] Error at 'F': Constant expression expected for a constant value
// expect compile error: [line 10:26] Error at 'F': Constant expression expected for a default value
